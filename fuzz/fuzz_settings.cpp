// The settings file: any bytes as the INI file must open (or leave the store
// closed), give every setting the window reads at start a value it can use,
// and take a write that reads back.
#include "app/Settings.h"
#include "fuzz/FuzzScratch.h"

#include <QApplication>
#include <QFile>
#include <QString>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using namespace kavlon;

void CheckReads(const SettingsStore &store)
{
    for (const char *name :
         {Settings::InstallierPfad.name, Settings::Zeitachse.name, Settings::Intervall.name,
          Settings::Hintergrundfarbe.name, Settings::Druckausgabe.name, Settings::Messcursor.name,
          Settings::Kennwerte.name, Settings::Toleranzband.name}) {
        const bool exists = store.ValueExists(name);
        if (!exists && (store.ReadString(name) || store.ReadInteger(name) || store.ReadBool(name)))
            fuzz::Broken("a value that does not exist reads as present");
        if (store.ReadBool(name).has_value() != store.ReadInteger(name).has_value())
            fuzz::Broken("a flag and the same value as a number disagree");
    }
    // The values in force must be ones the window can use as they are.
    if (!Settings::DrawableTimeAxis(store.Read(Settings::Zeitachse)))
        fuzz::Broken("a chart length the charts cannot draw");
    const int speed = store.Read(Settings::Intervall);
    if (speed < 1 || speed > 100)
        fuzz::Broken("a speed outside 1..100");
    if (!Settings::ColourBits(store.Read(Settings::Hintergrundfarbe)))
        fuzz::Broken("a background that is not a 24-bit colour");
    if (!Settings::OfferedBand(store.Read(Settings::Toleranzband)))
        fuzz::Broken("a tolerance band the menu does not offer");
    (void)store.Read(Settings::Druckausgabe);
    (void)store.Read(Settings::Messcursor);
    (void)store.Read(Settings::Kennwerte);
    if (store.HelpFilePath().size() > MaxHelpFilePathLength)
        fuzz::Broken("a help file path longer than the viewer takes");
    if (!store.HelpFilePath().endsWith(QLatin1String(HelpFileName)))
        fuzz::Broken("a help file path that does not name the help file");
}

} // namespace

// Fontconfig, which a stored font would wake, keeps its configuration for the
// rest of the process and never frees it: not a leak of ours.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// A stored "@Variant(...)" list gives its length before its items, and Qt
// reserves room for all of them before it reads the first: a damaged length
// asks for up to 128 GiB. Where the C library refuses, Qt's reservation stays
// empty, the short stream ends the list and the setting falls back to its
// default. ASan would abort on the refusal instead, and would count the
// untouched reservation as used memory once freed: the fuzzer refuses every
// allocation above 2 GiB the way a small machine's C library does, and lets
// Qt carry on as it would there.
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=2048";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The window reads its settings under a QApplication, and a value stored
    // as "@Variant(...)" may name a type of the GUI (a pixmap, a font) that
    // only such an application can build: the fuzzer reads under one too.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_settings";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A file the store cannot parse is moved aside under a new name each
    // time: the folder is emptied per input so that the names do not pile up.
    // QSettings keeps what it read of a file by its path, and trusts it while
    // the file's size and time stamp stay the same: each input gets a time
    // stamp of its own, so that every input is read.
    static const std::filesystem::path folder = fuzz::Scratch().Path() / "config";
    static const std::filesystem::path path = folder / "Kavlon2.conf";
    static long long run = 0;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    fuzz::WriteFile(path, data, size);
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type(std::chrono::seconds(1'000'000'000 + run++)));
    const QString location = QString::fromStdString(path.string());
    {
        SettingsStore store;
        if (store.Open(location)) {
            // A file set aside as damaged must be the input as it was.
            if (const auto &damaged = store.Damaged(); damaged && !damaged->keptAs.isEmpty()) {
                QFile kept(damaged->keptAs);
                if (!kept.open(QIODevice::ReadOnly)
                    || kept.readAll()
                           != QByteArray(reinterpret_cast<const char *>(data),
                                         static_cast<qsizetype>(size)))
                    fuzz::Broken("a damaged file was not kept as it was");
            }
            CheckReads(store);
            // A menu command's write, as the window does it, must be read back.
            const bool written = store.Write(Settings::Zeitachse, 300);
            if (written && store.Read(Settings::Zeitachse) != 300)
                fuzz::Broken("a chart length written does not read back");
            if (store.Write(Settings::Kennwerte, true) && !store.Read(Settings::Kennwerte))
                fuzz::Broken("a switch written does not read back");
            store.Close();
            // And again after reopening: the write reached the file.
            if (written && store.Open(location)) {
                CheckReads(store);
                if (store.Read(Settings::Zeitachse) != 300)
                    fuzz::Broken("a chart length written is not in the file");
            }
        } else {
            CheckReads(store); // the fallbacks, while closed
        }
    }
    return 0;
}
