#include "app/QtGerman.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace kavlon {

namespace {

std::unique_ptr<QTranslator> &Installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

bool InstallQtGerman(const QString &folder)
{
    RemoveQtGerman();
    const QString where =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto translator = std::make_unique<QTranslator>();
    // The base catalogue covers the core, the widgets and printing; the
    // catalogue named "qt" would also pull in modules this program does not use.
    if (!translator->load(QStringLiteral("qtbase_de"), where))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    Installed() = std::move(translator);
    return true;
}

void RemoveQtGerman()
{
    if (Installed()) {
        QCoreApplication::removeTranslator(Installed().get());
        Installed().reset();
    }
}

} // namespace kavlon
