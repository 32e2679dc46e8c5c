// Writes a header and a source that hold PNG pictures as tables of
// premultiplied ARGB pixels, ready to be painted. A program that shows a
// picture from such a table neither decodes PNG nor makes Qt look through its
// image plugins, which at start-up costs more than the pictures are worth.
//
//   tarnel_picturetable <output base> <namespace> <picture.png>...
//
// Each picture becomes a platform::Picture named after its file, with any
// character that cannot be in a name turned into "_": "kelvane-16.png" is
// kelvane_16.

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

#include <cstdio>

namespace {

QString nameOf(const QString &path)
{
    QString name = QFileInfo(path).completeBaseName();
    for (QChar &c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128))
            c = QLatin1Char('_');
    }
    if (name.isEmpty() || name.front().isDigit())
        name.prepend(QLatin1Char('_'));
    return name;
}

bool writeFile(const QString &path, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    return file.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fputs("usage: tarnel_picturetable <output base> <namespace> <picture.png>...\n", stderr);
        return 2;
    }
    const QString base = QFile::decodeName(argv[1]);
    const QString space = QString::fromLatin1(argv[2]);
    const QString headerName = QFileInfo(base).fileName() + QStringLiteral(".h");

    QString header;
    QTextStream h(&header);
    h << "// Made by tarnel_picturetable from the PNG pictures; not to be edited.\n"
         "#pragma once\n\n#include \"appearance.h\"\n\nnamespace "
      << space << " {\n\n";
    QString source;
    QTextStream s(&source);
    s << "// Made by tarnel_picturetable from the PNG pictures; not to be edited.\n#include \"" << headerName
      << "\"\n\nnamespace {\n";
    QString objects;
    QTextStream o(&objects);

    for (int i = 3; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        const QImage image = QImage(path, "PNG").convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            std::fprintf(stderr, "tarnel_picturetable: cannot read %s as PNG\n", argv[i]);
            return 1;
        }
        const QString name = nameOf(path);
        h << "extern const platform::appearance::Picture " << name << ";\n";
        s << "\nconst quint32 " << name << "Pixels[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                s << ((x % 8) ? " " : "\n    ") << "0x"
                  << QString::number(line[x], 16).rightJustified(8, QLatin1Char('0')) << ',';
        }
        s << "\n};\n";
        o << "const platform::appearance::Picture " << name << " {" << image.width() << ", " << image.height() << ", "
          << name << "Pixels};\n";
    }
    h << "\n} // namespace " << space << "\n";
    s << "\n} // namespace\n\nnamespace " << space << " {\n\n" << objects << "\n} // namespace " << space << "\n";
    h.flush();
    s.flush();

    if (!writeFile(base + QStringLiteral(".h"), header) || !writeFile(base + QStringLiteral(".cpp"), source)) {
        std::fprintf(stderr, "tarnel_picturetable: cannot write %s.h or .cpp\n", argv[1]);
        return 1;
    }
    return 0;
}
