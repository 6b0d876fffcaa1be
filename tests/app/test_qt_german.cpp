// The toolkit's own texts are German whatever the system's language is.
#include "app/QtGerman.h"
#include "tests/app/AppTestSupport.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>

namespace kavlon::test {
namespace {

class QtGermanTest : public TempStoreTest {
protected:
    void SetUp() override
    {
        TempStoreTest::SetUp();
        // An English system: the default locale and what the toolkit reads
        // from the environment.
        oldLocale_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        RemoveQtGerman();
        QLocale::setDefault(oldLocale_);
        TempStoreTest::TearDown();
    }

    static QString Shown(const QAction *a)
    {
        return a->shortcut().toString(QKeySequence::NativeText);
    }
    static QStringList ContextMenuTexts(QLineEdit *edit)
    {
        std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        QStringList texts;
        for (const QAction *a : menu->actions())
            if (!a->isSeparator())
                texts << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        return texts;
    }

    QLocale oldLocale_;
};

TEST_F(QtGermanTest, ShortcutsAndAReadOutsContextMenuAreGermanUnderAnEnglishLocale)
{
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                           + QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "the toolkit's German catalogue is not installed (scripts/deps.sh)";
    ASSERT_EQ(QLocale().language(), QLocale::English);

    // Without the catalogue the toolkit speaks English: the check below can tell.
    {
        TKavlonMain &win = ShownWindow(1000, 700);
        (void)win;
        EXPECT_EQ(Shown(Item("Copy")), QStringLiteral("Ctrl+C"));
        EXPECT_TRUE(
            ContextMenuTexts(Get<QLineEdit>("Verstaerkung")).contains(QStringLiteral("Copy")));
        window_.reset();
    }

    ASSERT_TRUE(InstallQtGerman());
    TKavlonMain &win = ShownWindow(1000, 700);
    (void)win;
    EXPECT_EQ(Shown(Item("Copy")), QStringLiteral("Strg+C"));
    EXPECT_EQ(Shown(Item("Print")), QStringLiteral("Strg+P"));

    const QStringList texts = ContextMenuTexts(Get<QLineEdit>("Verstaerkung"));
    EXPECT_TRUE(texts.contains(QStringLiteral("Kopieren"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Alles auswählen")))
        << texts.join(u'|').toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("Copy")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Select All")));
    // Read-outs use the locale's number format, not the catalogue's: the
    // window's own texts are unchanged.
    EXPECT_EQ(ReadOut("Verstaerkung"), QStringLiteral("4"));
}

TEST_F(QtGermanTest, AMissingCatalogueLeavesTheToolkitEnglishAndHarmless)
{
    ASSERT_FALSE(InstallQtGerman(dir_.path()));
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_C).toString(QKeySequence::NativeText),
              QStringLiteral("Ctrl+C"));
    // Installed once and then asked for a folder without it: the earlier one goes.
    if (InstallQtGerman()) {
        EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_C).toString(QKeySequence::NativeText),
                  QStringLiteral("Strg+C"));
        EXPECT_FALSE(InstallQtGerman(dir_.path()));
        EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_C).toString(QKeySequence::NativeText),
                  QStringLiteral("Ctrl+C"));
    }
}

} // namespace
} // namespace kavlon::test
