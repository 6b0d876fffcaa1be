#include "app/MeasuredDataFile.h"

#include "engine/PlantTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kavlon {

namespace {

QString Failure(const QString &path, const QString &reason, const QString &detail)
{
    QString text = QStringLiteral("Die Messwerte konnten nicht in \u201E%1\u201C gespeichert "
                                  "werden. %2")
                       .arg(QDir::toNativeSeparators(path), reason);
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    return text
           + QStringLiteral("\n\nDie Aufzeichnung bleibt erhalten; Sie k\u00F6nnen sie an "
                            "einem anderen Ort speichern.");
}

QString CreateFailure(const QString &path, const QString &detail)
{
    return Failure(path,
                   QStringLiteral("Die Datei l\u00E4sst sich dort nicht anlegen: Gibt es den "
                                  "Ordner, und d\u00FCrfen Sie darin schreiben?"),
                   detail);
}

QString WriteFailure(const QString &path, const QString &detail)
{
    return Failure(path,
                   QStringLiteral("Beim Schreiben trat ein Fehler auf; vielleicht ist das "
                                  "Laufwerk voll. Eine vorhandene Datei dieses Namens ist "
                                  "unver\u00E4ndert."),
                   detail);
}

// Writes the table to an open device; false when a write failed.
bool WriteTable(QIODevice &device, const MeasuredRun &run, const CsvTitle &title, CsvForm form)
{
    CsvWriter csv(
        [&device](const char *data, std::size_t size) {
            return device.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
        },
        form);
    return WriteMeasuredRun(run, title, csv);
}

} // namespace

QString WriteMeasuredFile(const MeasuredRun &run, const CsvTitle &title, CsvForm form,
                          const QString &path)
{
    const QFileInfo target(path);
    if (path.isEmpty() || target.isDir())
        return CreateFailure(path, QStringLiteral("das ist ein Ordner"));

    if (target.exists() && !target.isFile()) {
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly))
            return CreateFailure(path, device.errorString());
        const bool written = WriteTable(device, run, title, form) && device.flush();
        const QString detail = device.errorString();
        device.close();
        if (!written || device.error() != QFileDevice::NoError)
            return WriteFailure(path, detail);
        return {};
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return CreateFailure(path, file.errorString());
    if (!WriteTable(file, run, title, form)) {
        const QString detail = file.errorString();
        file.cancelWriting();
        file.commit(); // removes the temporary file
        return WriteFailure(path, detail);
    }
    if (!file.commit())
        return WriteFailure(path, file.errorString());
    return {};
}

QString ProposedMeasuredFileName(const LoopState &start, const QDateTime &now)
{
    const char letter = start.PlantIndex < PlantCount ? Plants[start.PlantIndex].letter : 'X';
    return QStringLiteral("Messwerte_%1_%2.csv")
        .arg(QChar::fromLatin1(letter), now.toString(QStringLiteral("yyyy-MM-dd_HHmm")));
}

} // namespace kavlon
