#include "tests/app/AppTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace kavlon::test {
namespace {

using SettingsStoreTest = TempStoreTest;

TEST_F(SettingsStoreTest, LivesUnderTheConfigFolderAndCreatesItsKey)
{
    EXPECT_EQ(SettingsStore::DefaultLocation(), ConfPath());
    SettingsStore store;
    ASSERT_TRUE(store.Open());
    EXPECT_TRUE(QDir(dir_.path() + QStringLiteral("/Kavlon2")).exists());
    EXPECT_EQ(store.HelpFilePath(), QStringLiteral("Kavlon.hlp"));
    EXPECT_FALSE(store.ValueExists(Settings::Zeitachse.name));
    EXPECT_TRUE(store.WriteInteger(Settings::Zeitachse.name, 300));
    store.Close();
    // Written at once, readable by anyone.
    EXPECT_EQ(Stored("Zeitachse").toString(), QStringLiteral("300"));
}

TEST_F(SettingsStoreTest, HelpFilePathJoinsTheInstallFolderWithoutASeparator)
{
    struct Row {
        QString stored;
        QString expected;
    };
    const QString longFolder = QString(250, QLatin1Char('x')) + QLatin1Char('/');
    const Row rows[] = {
        {QStringLiteral("/opt/kavlon2/"), QStringLiteral("/opt/kavlon2/Kavlon.hlp")},
        {QStringLiteral("/opt/kavlon2"), QStringLiteral("/opt/kavlon2Kavlon.hlp")},
        {QString(), QStringLiteral("Kavlon.hlp")},
        // Longer than 255 characters: as if no folder were stored.
        {longFolder, QStringLiteral("Kavlon.hlp")},
    };
    for (const Row &r : rows) {
        Preset("InstallierPfad", r.stored);
        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_EQ(store.HelpFilePath(), r.expected) << r.stored.toStdString();
    }
}

TEST_F(SettingsStoreTest, AnInstallFolderWithACommaIsReadAsWritten)
{
    struct Row {
        QByteArray line; // as written into the file by hand or an installer
        QString folder;
    };
    const Row rows[] = {
        {"InstallierPfad=/opt/kavlon, neu/", QStringLiteral("/opt/kavlon, neu/")},
        {"InstallierPfad=/srv/a,b,c/", QStringLiteral("/srv/a,b,c/")},
        {"InstallierPfad = /home/lehrer/Regelung,Kurs 2/ ",
         QStringLiteral("/home/lehrer/Regelung,Kurs 2/")},
        {"InstallierPfad=/home/j\\xfcrgen,neu/", QStringLiteral("/home/j\u00FCrgen,neu/")},
        {"InstallierPfad=/home/J\xC3\xBCrgen/Sch\xC3\xA4"
         "fer, Kurs/",
         QStringLiteral("/home/J\u00FCrgen/Sch\u00E4fer, Kurs/")},
        {"InstallierPfad=\"/opt/a\",\"b/\"", QStringLiteral("/opt/a,b/")},
    };
    int n = 0;
    for (const Row &r : rows) {
        SCOPED_TRACE(r.line.toStdString());
        ASSERT_TRUE(QDir().mkpath(dir_.path() + QStringLiteral("/Kavlon2")));
        QFile f(ConfPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // Other keys around it, and a time stamp of its own so that the
        // store reads the file anew.
        f.write("[General]\nZeitachse=300\n" + r.line + "\nIntervall=20\n");
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(++n), QFileDevice::FileModificationTime);
        f.close();

        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_EQ(store.ReadString(Settings::InstallierPfad.name), r.folder);
        EXPECT_EQ(store.Read(Settings::InstallierPfad), r.folder);
        EXPECT_EQ(store.HelpFilePath(), r.folder + QStringLiteral("Kavlon.hlp"));
        EXPECT_EQ(store.Read(Settings::Zeitachse), 300);
        EXPECT_EQ(store.Read(Settings::Intervall), 20);
    }
}

TEST_F(SettingsStoreTest, EveryWrittenTextReadsBackTheSame)
{
    const QString texts[] = {
        QStringLiteral("/opt/kavlon, neu/"),
        QStringLiteral("a,b,,c,"),
        QStringLiteral("\"Anf\u00FChrung\" und \u201EZitat\u201C/"),
        QStringLiteral("C:\\Programme\\Kavlon 2\\"),
        QStringLiteral("\\\\server\\share\\"),
        QStringLiteral("  f\u00FChrende und folgende Leerzeichen  "),
        QStringLiteral("/home/J\u00FCrgen/Stra\u00DFe/\u00C4\u00D6\u00DC/\u20AC/"),
        QStringLiteral("a;b # c=d [e]"),
        QStringLiteral("@Variant(x)"),
        QStringLiteral("@@"),
        QStringLiteral("Zeile\nZeile\tTab"),
        QStringLiteral("\"a\",\"b\""),
        QStringLiteral("300"),
        QString(),
    };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        {
            SettingsStore store;
            ASSERT_TRUE(store.Open());
            EXPECT_TRUE(store.Write(Settings::InstallierPfad, text));
            EXPECT_FALSE(store.WriteFailed());
            EXPECT_EQ(store.ReadString(Settings::InstallierPfad.name), text);
        }
        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_EQ(store.Read(Settings::InstallierPfad), text);
        EXPECT_EQ(store.HelpFilePath(), text + QStringLiteral("Kavlon.hlp"));
        // Also as the file reads to anyone else using the same format.
        EXPECT_EQ(Stored("InstallierPfad").toString(), text);
    }
    // Closed, the store refuses and reads the fallback.
    SettingsStore closed;
    EXPECT_FALSE(closed.Write(Settings::InstallierPfad, QStringLiteral("/x/")));
    EXPECT_TRUE(closed.WriteFailed());
    EXPECT_EQ(closed.Read(Settings::InstallierPfad), QString());
}

TEST_F(SettingsStoreTest, ReadsAreTypeChecked)
{
    struct Row {
        QString stored;
        std::optional<int> integer;
        std::optional<bool> flag;
    };
    const Row rows[] = {
        {QStringLiteral("600"), 600, true},
        {QStringLiteral("-5"), -5, true},
        {QStringLiteral("0"), 0, false},
        {QStringLiteral("1"), 1, true},
        {QStringLiteral("abc"), std::nullopt, std::nullopt},
        {QStringLiteral("12abc"), std::nullopt, std::nullopt},
        {QStringLiteral("4.5"), std::nullopt, std::nullopt},
        {QStringLiteral("true"), std::nullopt, std::nullopt},
        {QStringLiteral("2147483647"), 2147483647, true},
        {QStringLiteral("2147483648"), std::nullopt, std::nullopt},
        {QString(), std::nullopt, std::nullopt},
    };
    for (const Row &r : rows) {
        Preset("Intervall", r.stored);
        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_TRUE(store.ValueExists("Intervall"));
        EXPECT_EQ(store.ReadInteger("Intervall"), r.integer) << r.stored.toStdString();
        EXPECT_EQ(store.ReadBool("Intervall"), r.flag) << r.stored.toStdString();
    }
    SettingsStore store;
    ASSERT_TRUE(store.Open());
    EXPECT_EQ(store.ReadInteger("Zeitachse"), std::nullopt);
    EXPECT_EQ(store.ReadString("Zeitachse"), std::nullopt);
}

TEST_F(SettingsStoreTest, ValuesInForceAreTheUsableStoredOnesOrTheFallbacks)
{
    struct Row {
        const Setting<int> &setting;
        QString stored;
        int inForce;
    };
    const Row rows[] = {
        {Settings::Zeitachse, QStringLiteral("300"), 300},
        {Settings::Zeitachse, QStringLiteral("2"), 2},
        {Settings::Zeitachse, QStringLiteral("100000"), 100000},
        {Settings::Zeitachse, QStringLiteral("1"), 600},
        {Settings::Zeitachse, QStringLiteral("-600"), 600},
        {Settings::Zeitachse, QStringLiteral("100001"), 600},
        {Settings::Zeitachse, QStringLiteral("abc"), 600},
        {Settings::Intervall, QStringLiteral("15"), 15},
        {Settings::Intervall, QStringLiteral("0"), 1},
        {Settings::Intervall, QStringLiteral("-2147483648"), 1},
        {Settings::Intervall, QStringLiteral("101"), 100},
        {Settings::Intervall, QStringLiteral("4.5"), 10},
        {Settings::Hintergrundfarbe, QStringLiteral("0"), 0},
        {Settings::Hintergrundfarbe, QStringLiteral("1193046"), 0x123456},
        {Settings::Hintergrundfarbe, QStringLiteral("16777215"), 0xFFFFFF},
        {Settings::Hintergrundfarbe, QStringLiteral("16777216"), 0xFFFFFF},
        {Settings::Hintergrundfarbe, QStringLiteral("-1"), 0xFFFFFF},
    };
    for (const Row &r : rows) {
        Preset(r.setting.name, r.stored);
        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_EQ(store.Read(r.setting), r.inForce)
            << r.setting.name << " " << r.stored.toStdString();
    }

    struct FlagRow {
        QString stored;
        bool inForce;
    };
    const FlagRow flags[] = {{QStringLiteral("0"), false},
                             {QStringLiteral("1"), true},
                             {QStringLiteral("-3"), true},
                             {QStringLiteral("nein"), true}};
    for (const FlagRow &r : flags) {
        Preset(Settings::Druckausgabe.name, r.stored);
        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_EQ(store.Read(Settings::Druckausgabe), r.inForce) << r.stored.toStdString();
    }
}

TEST_F(SettingsStoreTest, EvaluationKeysFallBackToOffAndTheTwoPerCentBand)
{
    struct Row {
        QString stored; // empty: absent
        int band;
        bool flag;
    };
    const Row rows[] = {
        {QString(), 2, false},
        {QStringLiteral("1"), 1, true},
        {QStringLiteral("2"), 2, true},
        {QStringLiteral("5"), 5, true},
        {QStringLiteral("0"), 2, false},
        {QStringLiteral("3"), 2, true},
        {QStringLiteral("10"), 2, true},
        {QStringLiteral("-1"), 2, true},
        {QStringLiteral("zwei"), 2, false},
        {QStringLiteral("2.0"), 2, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.stored.toStdString());
        QSettings(ConfPath(), QSettings::IniFormat).clear();
        if (!r.stored.isEmpty()) {
            Preset(Settings::Toleranzband.name, r.stored);
            Preset(Settings::Messcursor.name, r.stored);
            Preset(Settings::Kennwerte.name, r.stored);
        }
        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_EQ(store.Read(Settings::Toleranzband), r.band);
        EXPECT_EQ(store.Read(Settings::Messcursor), r.flag);
        EXPECT_EQ(store.Read(Settings::Kennwerte), r.flag);
    }
}

TEST_F(SettingsStoreTest, AClosedStoreReadsTheFallbacksAndTypedWritesReachTheKeys)
{
    Preset(Settings::Intervall.name, QStringLiteral("50"));
    Preset(Settings::Druckausgabe.name, QStringLiteral("0"));
    SettingsStore store;
    EXPECT_EQ(store.Read(Settings::Intervall), 10);
    EXPECT_TRUE(store.Read(Settings::Druckausgabe));
    EXPECT_FALSE(store.Write(Settings::Intervall, 20));

    ASSERT_TRUE(store.Open());
    EXPECT_EQ(store.Read(Settings::Intervall), 50);
    EXPECT_FALSE(store.Read(Settings::Druckausgabe));
    EXPECT_TRUE(store.Write(Settings::Zeitachse, 180));
    EXPECT_TRUE(store.Write(Settings::Druckausgabe, true));
    EXPECT_EQ(Stored("Zeitachse").toString(), QStringLiteral("180"));
    EXPECT_EQ(Stored("Druckausgabe").toString(), QStringLiteral("1"));
}

TEST_F(SettingsStoreTest, WritesReadBackWithTheirTypes)
{
    {
        SettingsStore store;
        ASSERT_TRUE(store.Open());
        EXPECT_TRUE(store.WriteInteger("Hintergrundfarbe", 0xFFFFFF));
        EXPECT_TRUE(store.WriteBool("Druckausgabe", false));
        EXPECT_FALSE(store.WriteFailed());
    }
    EXPECT_EQ(Stored("Druckausgabe").toString(), QStringLiteral("0"));
    SettingsStore store;
    ASSERT_TRUE(store.Open());
    EXPECT_EQ(store.ReadInteger("Hintergrundfarbe"), 0xFFFFFF);
    EXPECT_EQ(store.ReadBool("Druckausgabe"), false);
}

TEST_F(SettingsStoreTest, AStoreThatCannotBeCreatedStaysClosedAndRefusesWrites)
{
    // A file where the store's folder should be.
    QFile blocker(dir_.path() + QStringLiteral("/Kavlon2"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    SettingsStore store;
    EXPECT_FALSE(store.Open());
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.HelpFilePath(), QStringLiteral("Kavlon.hlp"));
    EXPECT_EQ(store.ReadInteger("Zeitachse"), std::nullopt);
    EXPECT_FALSE(store.WriteInteger("Zeitachse", 600));
    EXPECT_TRUE(store.WriteFailed());
}

TEST_F(SettingsStoreTest, AFailedWriteIsReportedAndHarmless)
{
    SettingsStore store;
    ASSERT_TRUE(store.Open());
    // The folder disappears behind the program's back and a file takes its place.
    ASSERT_TRUE(QDir(dir_.path() + QStringLiteral("/Kavlon2")).removeRecursively());
    QFile blocker(dir_.path() + QStringLiteral("/Kavlon2"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_FALSE(store.WriteInteger("Intervall", 20));
    EXPECT_TRUE(store.WriteFailed());
    store.Close();
    EXPECT_FALSE(store.IsOpen());
}

} // namespace
} // namespace kavlon::test
