// A settings file the store cannot parse is moved aside, the session's writes
// go to a new file, and the operator is told once where the old one is.
#include "tests/app/AppTestSupport.h"

#include <QFile>
#include <QMessageBox>

#include <unistd.h>

namespace kavlon::test {
namespace {

using DamagedSettingsTest = TempStoreTest;

QByteArray Contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QList<QMessageBox *> DamageMessages(TKavlonMain &win)
{
    return win.findChildren<QMessageBox *>(QStringLiteral("DamagedSettingsMessage"));
}

TEST_F(DamagedSettingsTest, TheFileIsKeptAndLaterWritesReachANewOne)
{
    const QByteArray damaged[] = {
        QByteArray("[General\nZeitachse=300\n"),
        QByteArray("["),
        QByteArray("Zeitachse=300\n["),
    };
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        QFile::remove(ConfPath() + QStringLiteral(".defekt"));
        ASSERT_TRUE(QDir().mkpath(dir_.path() + QStringLiteral("/Kavlon2")));
        Put(ConfPath(), bytes);

        SettingsStore store;
        ASSERT_TRUE(store.Open());
        ASSERT_TRUE(store.Damaged().has_value());
        EXPECT_EQ(store.Damaged()->location, ConfPath());
        EXPECT_EQ(store.Damaged()->keptAs, ConfPath() + QStringLiteral(".defekt"));
        EXPECT_EQ(Contents(ConfPath() + QStringLiteral(".defekt")), bytes);
        // The fresh store holds nothing: the fallbacks are in force.
        EXPECT_EQ(store.Read(Settings::Zeitachse), Settings::Zeitachse.fallback);

        EXPECT_TRUE(store.Write(Settings::Zeitachse, 180));
        EXPECT_TRUE(store.Write(Settings::Druckausgabe, false));
        EXPECT_FALSE(store.WriteFailed());
        store.Close();
        EXPECT_EQ(Stored("Zeitachse").toString(), QStringLiteral("180"));
        EXPECT_EQ(Stored("Druckausgabe").toString(), QStringLiteral("0"));

        // Opened again, the new file is sound.
        ASSERT_TRUE(store.Open());
        EXPECT_FALSE(store.Damaged().has_value());
        EXPECT_EQ(store.Read(Settings::Zeitachse), 180);
    }
}

TEST_F(DamagedSettingsTest, AnEarlierKeptFileIsNeverOverwritten)
{
    ASSERT_TRUE(QDir().mkpath(dir_.path() + QStringLiteral("/Kavlon2")));
    const QString kept = ConfPath() + QStringLiteral(".defekt");
    Put(kept, "first");
    Put(kept + QStringLiteral(".1"), "second");
    Put(ConfPath(), "[third");

    SettingsStore store;
    ASSERT_TRUE(store.Open());
    ASSERT_TRUE(store.Damaged().has_value());
    EXPECT_EQ(store.Damaged()->keptAs, kept + QStringLiteral(".2"));
    EXPECT_EQ(Contents(kept), "first");
    EXPECT_EQ(Contents(kept + QStringLiteral(".1")), "second");
    EXPECT_EQ(Contents(kept + QStringLiteral(".2")), "[third");
}

TEST_F(DamagedSettingsTest, ASoundStoreIsLeftAsItIs)
{
    Preset("Zeitachse", 300);
    SettingsStore store;
    ASSERT_TRUE(store.Open());
    EXPECT_FALSE(store.Damaged().has_value());
    EXPECT_FALSE(QFileInfo::exists(ConfPath() + QStringLiteral(".defekt")));
    EXPECT_EQ(store.Read(Settings::Zeitachse), 300);
}

TEST_F(DamagedSettingsTest, TheWindowTellsOnceAndKeepsSaving)
{
    ASSERT_TRUE(QDir().mkpath(dir_.path() + QStringLiteral("/Kavlon2")));
    Put(ConfPath(), "[");
    TKavlonMain &win = ShownWindow(1000, 700);
    QCoreApplication::processEvents();

    const QList<QMessageBox *> shown = DamageMessages(win);
    ASSERT_EQ(shown.size(), 1);
    QMessageBox *box = shown.front();
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    const QString kept = ConfPath() + QStringLiteral(".defekt");
    EXPECT_TRUE(box->text().contains(QStringLiteral("\u201E") + QDir::toNativeSeparators(kept)
                                     + QStringLiteral("\u201C")))
        << box->text().toStdString();
    EXPECT_TRUE(box->text().contains(QStringLiteral("besch\u00E4digt")));
    EXPECT_EQ(Contents(kept), "[");

    // The operator's changes are saved in the new file.
    Spin("SpeedUpDown", SpinDirection::Right);
    Item("Zeitachse180")->trigger();
    EXPECT_FALSE(win.Store().WriteFailed());
    EXPECT_EQ(Stored("Intervall").toInt(), win.Loop().Speed);
    EXPECT_EQ(Stored("Zeitachse").toInt(), 180);

    // Shown again, or with the message closed, the window says nothing more.
    box->close();
    QCoreApplication::processEvents();
    win.hide();
    win.show();
    QCoreApplication::processEvents();
    for (QMessageBox *b : DamageMessages(win))
        EXPECT_FALSE(b->isVisible());
}

TEST_F(DamagedSettingsTest, ASoundStoreShowsNoMessage)
{
    Preset("Zeitachse", 300);
    TKavlonMain &win = ShownWindow(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_TRUE(DamageMessages(win).isEmpty());
}

TEST_F(DamagedSettingsTest, AFileThatCannotBeMovedIsNamedAndNothingIsSaved)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "a read-only folder does not stop root from renaming";
    const QString folder = dir_.path() + QStringLiteral("/Kavlon2");
    ASSERT_TRUE(QDir().mkpath(folder));
    Put(ConfPath(), "[");
    QFile(folder).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    TKavlonMain &win = ShownWindow(1000, 700);
    QCoreApplication::processEvents();
    const QList<QMessageBox *> shown = DamageMessages(win);
    QFile(folder).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.front()->text().contains(QDir::toNativeSeparators(ConfPath())));
    EXPECT_TRUE(shown.front()->text().contains(QStringLiteral("nicht beiseitegelegt")));
    EXPECT_EQ(Contents(ConfPath()), "[");
}

} // namespace
} // namespace kavlon::test
