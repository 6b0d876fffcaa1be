#pragma once

#include "analysis/StepMetrics.h"
#include "charts/ChartFrame.h"
#include "charts/OCurve.h"
#include "engine/OperatorValues.h"

#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace kavlon {

// The operator's preferences: every stored value with its name, type, the
// value in force when it is absent, and what of a stored value the program
// can use. Nothing else of the program is stored.
template <typename T> struct Setting {
    const char *name;
    T fallback;
    // The stored value as the program uses it, or nothing when it is unusable
    // and counts as absent; null when every value of the type is usable.
    std::optional<T> (*usable)(T stored) = nullptr;
};

namespace Settings {

// A length below the charts' smallest would divide by zero in the chart
// arithmetic, and the charts refuse one beyond their largest: either counts
// as absent, so that the length in force always has its menu item checked or
// is the stored one.
constexpr std::optional<int> DrawableTimeAxis(int length)
{
    if (length < MinTimeAxisLength || length > MaxTimeAxisLength)
        return std::nullopt;
    return length;
}

// The tick divides by the speed: a stored value is brought into 1..100.
constexpr std::optional<int> SpeedInRange(int speed) { return SanitiseSpeed(speed); }

// A colour has 24 bits; anything else counts as absent.
constexpr std::optional<int> ColourBits(int bgr)
{
    if (bgr < 0 || bgr > 0xFFFFFF)
        return std::nullopt;
    return bgr;
}

// The tolerance band is one of the three the menu offers; any other stored
// value counts as absent.
constexpr std::optional<int> OfferedBand(int percent)
{
    if (percent != 1 && percent != 2 && percent != 5)
        return std::nullopt;
    return percent;
}

// Folder of the help file, ending with a path separator; written by an installer.
inline constexpr Setting<const char *> InstallierPfad{"InstallierPfad", ""};
// Chart window length in seconds (180, 300 or 600 from the menu).
inline constexpr Setting<int> Zeitachse{"Zeitachse", DefaultTimeAxisLength, &DrawableTimeAxis};
// Computation speed, ticks per 10 s of wall time.
inline constexpr Setting<int> Intervall{"Intervall", DefaultSpeed, &SpeedInRange};
// Chart background as 0x00BBGGRR.
inline constexpr Setting<int> Hintergrundfarbe{"Hintergrundfarbe", static_cast<int>(White),
                                               &ColourBits};
// Print and copy in colour; stored as 1 or 0, any non-zero value reads as true.
inline constexpr Setting<bool> Druckausgabe{"Druckausgabe", true};
// The evaluation's switches: the measurement cursor, the step figures with
// their tolerance band, and the band's half-width in per cent of the step.
inline constexpr Setting<bool> Messcursor{"Messcursor", false};
inline constexpr Setting<bool> Kennwerte{"Kennwerte", false};
inline constexpr Setting<int> Toleranzband{"Toleranzband", static_cast<int>(DefaultBandPercent),
                                           &OfferedBand};

// Where "Messwerte speichern" last saved, and whether in the German
// spreadsheet form (else the international one).
inline constexpr Setting<const char *> MesswerteOrdner{"MesswerteOrdner", ""};
inline constexpr Setting<bool> MesswerteDeutsch{"MesswerteDeutsch", true};
// The folder the experiment dialogs last used; empty: the shipped experiments.
inline constexpr Setting<const char *> VersuchOrdner{"VersuchOrdner", ""};

} // namespace Settings

inline constexpr const char *HelpFileName = "Kavlon.hlp";
// The longest help file path handed to the help viewer.
inline constexpr int MaxHelpFilePathLength = 255;

// The per-user settings store under the key Software\Kavlon2: on Windows the
// registry of the current user, elsewhere the INI file
// <XDG_CONFIG_HOME or ~/.config>/Kavlon2/Kavlon2.conf.
//
// Reads are type-checked: a value that does not parse as the expected type
// counts as absent. Every write goes to the store at once; a write that fails
// is remembered (WriteFailed) and otherwise ignored, so the program runs on
// with the value in force for the session.
class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // Where the store lives on this platform (the INI file's path, or the
    // registry key). Reads the environment each time, so tests can point
    // XDG_CONFIG_HOME at a temporary folder.
    static QString DefaultLocation();

    // Opens the key, creating it when it does not exist; location empty means
    // DefaultLocation(). Returns whether the key is open.
    bool Open(const QString &location = QString());
    bool IsOpen() const { return settings_ != nullptr; }
    void Close();

    // The help file path formed on opening: InstallierPfad followed directly by
    // "Kavlon.hlp", or "Kavlon.hlp" alone.
    QString HelpFilePath() const { return helpFilePath_; }

    bool ValueExists(const char *name) const;
    // The value, or nothing when it is absent, of another type or out of the
    // 32-bit range. A text is read as written: a comma in it is part of it.
    std::optional<QString> ReadString(const char *name) const;
    std::optional<int> ReadInteger(const char *name) const;
    std::optional<bool> ReadBool(const char *name) const;

    // The value in force: the stored one when it is present, of the
    // setting's type and usable, else the setting's fallback (also while the
    // store is closed).
    int Read(const Setting<int> &setting) const;
    bool Read(const Setting<bool> &setting) const;
    QString Read(const Setting<const char *> &setting) const;

    // Returns false when the store is closed or the write did not reach it.
    bool WriteInteger(const char *name, int value);
    bool WriteBool(const char *name, bool value);
    // Quoted and escaped as needed, so that ReadString gives back exactly this text.
    bool WriteString(const char *name, const QString &value);
    bool Write(const Setting<int> &setting, int value) { return WriteInteger(setting.name, value); }
    bool Write(const Setting<bool> &setting, bool value) { return WriteBool(setting.name, value); }
    bool Write(const Setting<const char *> &setting, const QString &value)
    {
        return WriteString(setting.name, value);
    }

    bool WriteFailed() const { return writeFailed_; }
    QString Location() const { return location_; }

    // A store file that cannot be parsed would refuse every write of the
    // session. Open moves it aside under DamagedName (the operator may want
    // what is in it) and starts an empty store in its place, so the values
    // in force are the fallbacks and every later write is kept.
    struct DamagedFile {
        QString location; // where the damaged file was
        QString keptAs;   // where it is now; empty when it could not be moved
    };
    // What Open found, or nothing when the store was sound.
    const std::optional<DamagedFile> &Damaged() const { return damaged_; }
    // "<file>.defekt", or with ".1", ".2" … added when that name is taken.
    static QString DamagedName(const QString &location);

private:
    bool Sync();

    std::unique_ptr<QSettings> settings_;
    QString location_;
    QString helpFilePath_ = QString::fromLatin1(HelpFileName);
    bool writeFailed_ = false;
    std::optional<DamagedFile> damaged_;
};

} // namespace kavlon
