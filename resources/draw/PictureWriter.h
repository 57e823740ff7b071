#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>

namespace quorvane {

// Writes the drawn pictures below the resources folder and the resource file that lists them.
class PictureWriter final
{
public:
    explicit PictureWriter(const QDir& root);

    // A skin bitmap: skin/NAME.bmp, 24 bits per pixel, uncompressed; skin/NAME@2x.bmp for an
    // image drawn at scale 2 (device pixel ratio 2), the name under which Qt reads it as such.
    void bitmap(const QString& name, const QImage& image);
    // A picture of a window: skin/NAME.png, or skin/NAME@2x.png at scale 2.
    void picture(const QString& name, const QImage& image);
    // An application icon file below icons/; PNG files are also listed in the resource file.
    void iconFile(const QString& fileName, const QImage& image);
    void iconText(const QString& fileName, const QByteArray& text);

    // resources.qrc: every bitmap, picture and PNG icon under the prefix "/skin".
    void writeResourceFile() const;

    // Files written so far, relative to the resources folder.
    const QStringList& written() const { return m_files; }

private:
    void save(const QString& relative, const QImage& image, const char* format);

    QDir m_root;
    QStringList m_files;
    QStringList m_listed; // entries of the resource file: "alias|relative path"
};

} // namespace quorvane
