#include "PictureWriter.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

namespace quorvane {

namespace {

// The file name of a picture at its drawn scale.
QString scaledName(const QString& name, const QImage& image)
{
    const int scale = qRound(image.devicePixelRatio());
    return scale == 1 ? name : name + QStringLiteral("@%1x").arg(scale);
}

} // namespace

PictureWriter::PictureWriter(const QDir& root) : m_root(root)
{
    root.mkpath(QStringLiteral("skin"));
    root.mkpath(QStringLiteral("icons"));
}

void PictureWriter::bitmap(const QString& name, const QImage& image)
{
    // Qt writes images without an alpha channel as 24-bit uncompressed device-independent bitmaps.
    const QString file = scaledName(name, image) + QStringLiteral(".bmp");
    const QString relative = QStringLiteral("skin/") + file;
    save(relative, image.convertToFormat(QImage::Format_RGB32), "BMP");
    m_listed << file + QLatin1Char('|') + relative;
}

void PictureWriter::picture(const QString& name, const QImage& image)
{
    const QString file = scaledName(name, image) + QStringLiteral(".png");
    const QString relative = QStringLiteral("skin/") + file;
    save(relative, image, "PNG");
    m_listed << file + QLatin1Char('|') + relative;
}

void PictureWriter::iconFile(const QString& fileName, const QImage& image)
{
    const QString relative = QStringLiteral("icons/") + fileName;
    save(relative, image, "PNG");
    m_listed << relative + QLatin1Char('|') + relative;
}

void PictureWriter::iconText(const QString& fileName, const QByteArray& text)
{
    const QString relative = QStringLiteral("icons/") + fileName;
    QSaveFile file(m_root.filePath(relative));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw std::runtime_error("cannot write " + relative.toStdString());
    m_files << relative;
}

void PictureWriter::writeResourceFile() const
{
    QByteArray text = "<!-- Written by draw-pictures; every skin bitmap and picture of the client. -->\n"
                      "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/skin\">\n";
    for (const QString& entry : m_listed) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        text += "    <file alias=\"" + parts[0].toUtf8() + "\">" + parts[1].toUtf8() + "</file>\n";
    }
    text += "</qresource>\n</RCC>\n";
    QSaveFile file(m_root.filePath(QStringLiteral("resources.qrc")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw std::runtime_error("cannot write resources.qrc");
}

void PictureWriter::save(const QString& relative, const QImage& image, const char* format)
{
    if (!image.save(m_root.filePath(relative), format))
        throw std::runtime_error("cannot write " + relative.toStdString());
    m_files << relative;
}

} // namespace quorvane
