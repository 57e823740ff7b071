#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>

// Writes the drawn pictures below the resources folder and the resource file that lists them.
class PictureWriter final
{
public:
    explicit PictureWriter(const QDir& root);

    // A skin bitmap: skin/NAME.bmp, 24 bits per pixel, uncompressed.
    void Bitmap(const QString& name, const QImage& image);
    // A picture of a window: skin/NAME.png.
    void Picture(const QString& name, const QImage& image);
    // An application icon file below icons/; PNG files are also listed in the resource file.
    void IconFile(const QString& fileName, const QImage& image);
    void IconText(const QString& fileName, const QByteArray& text);

    // resources.qrc: every bitmap, picture and PNG icon under the prefix "/skin".
    void WriteResourceFile() const;

    // Files written so far, relative to the resources folder.
    const QStringList& Written() const { return files; }

private:
    void Save(const QString& relative, const QImage& image, const char* format);

    QDir root;
    QStringList files;
    QStringList listed; // entries of the resource file: "alias|relative path"
};
