#pragma once

// Shared by the window's tests: a temporary settings store (XDG_CONFIG_HOME
// points into a fresh folder for each test, so the real user's preferences are
// never read or written) and small helpers to drive the real controls.

#include "app/MainForm.h"
#include "app/Settings.h"
#include "app/SpinArrows.h"

#include <QAction>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace kavlon::test {

class TempStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        hadOld_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        old_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
        ASSERT_TRUE(SettingsStore::DefaultLocation().startsWith(dir_.path()));
    }
    void TearDown() override
    {
        window_.reset();
        if (hadOld_)
            qputenv("XDG_CONFIG_HOME", old_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString ConfPath() const { return dir_.path() + QStringLiteral("/Kavlon2/Kavlon2.conf"); }

    // Puts a value into the store as an installer or an earlier run left it.
    void Preset(const char *name, const QVariant &value)
    {
        QSettings s(ConfPath(), QSettings::IniFormat);
        s.setValue(QString::fromLatin1(name), value);
        s.sync();
        ASSERT_EQ(s.status(), QSettings::NoError);
    }
    QVariant Stored(const char *name) const
    {
        QSettings s(ConfPath(), QSettings::IniFormat);
        return s.value(QString::fromLatin1(name));
    }
    QStringList StoredKeys() const
    {
        QSettings s(ConfPath(), QSettings::IniFormat);
        return s.allKeys();
    }

    TKavlonMain &Window()
    {
        if (!window_)
            window_ = std::make_unique<TKavlonMain>();
        return *window_;
    }
    // A window shown with a client area of exactly w x h pixels.
    TKavlonMain &ShownWindow(int w, int h)
    {
        TKavlonMain &win = Window();
        win.show();
        SetClientSize(w, h);
        return win;
    }
    void SetClientSize(int w, int h)
    {
        TKavlonMain &win = Window();
        for (int i = 0; i < 3 && win.ClientArea()->size() != QSize(w, h); ++i) {
            win.resize(win.size() + QSize(w, h) - win.ClientArea()->size());
            QCoreApplication::processEvents();
        }
        ASSERT_EQ(win.ClientArea()->size(), QSize(w, h));
    }

    template <typename T> T *Get(const char *name)
    {
        T *found = Window().findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString ReadOut(const char *name) { return Get<QLineEdit>(name)->text(); }
    QAction *Item(const char *name) { return Get<QAction>(name); }

    void Spin(const char *name, SpinDirection direction, int clicks = 1)
    {
        auto *spin = Get<SpinArrows>(name);
        QToolButton *arrow =
            direction == SpinDirection::Right ? spin->RightArrow() : spin->LeftArrow();
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(arrow, Qt::LeftButton);
    }
    void ClickTool(const char *name) { QTest::mouseClick(Get<QToolButton>(name), Qt::LeftButton); }

    QTemporaryDir dir_;
    std::unique_ptr<TKavlonMain> window_;

private:
    bool hadOld_ = false;
    QByteArray old_;
};

} // namespace kavlon::test
