#pragma once

// What the picture tests of kavlon-sim share: a QGuiApplication on the
// offscreen platform (made once, on first need) and loading a written picture.
#include <QGuiApplication>
#include <QImage>

#include <filesystem>

inline void NeedGuiApplication()
{
    static int argc = 1;
    static char name[] = "test_cli";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        static QGuiApplication app(argc, argv);
    }
}

inline QImage LoadPicture(const std::filesystem::path &p)
{
    return QImage(QString::fromStdString(p.string())).convertToFormat(QImage::Format_RGB32);
}
