// lumiset-cli: the batch front end. Other programs parse its output, so every
// line and exit status is part of its contract.

#include "image/ByteSource.h"
#include "image/OpenCommand.h"
#include "image/RecordingOpenView.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: lumiset-cli info IMAGE\n"
    "       lumiset-cli --help\n"
    "\n"
    "info IMAGE   Opens IMAGE (BMP or TGA) as the Lumiset open window does with\n"
    "             \"Показывать файл\" ticked and prints, in UTF-8 with LF line ends:\n"
    "               the file report, one line per line;\n"
    "               a line \"--\";\n"
    "               \"size: \" and the size label;\n"
    "               \"notice: \" and the notice, when one is shown;\n"
    "               \"message: \" title \" | \" text, for each message box, in order;\n"
    "               \"export: yes\" or \"export: no\": whether the picture can be exported.\n"
    "             Line breaks inside a notice or message are written as \" | \".\n"
    "\n"
    "Exit status: 0 the file was opened (whatever its kind), 1 it cannot be opened\n"
    "at all (the reason goes to standard error), 2 usage error.\n";

void print(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

QString oneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
}

int info(const QString& path)
{
    QFile probe(path);
    const QFileInfo fi(path);
    if (fi.isDir() || !probe.open(QIODevice::ReadOnly)) {
        const QString reason = fi.isDir() ? QStringLiteral("is a folder") : probe.errorString();
        std::fprintf(stderr, "lumiset-cli: cannot open %s: %s\n", qPrintable(path), qPrintable(reason));
        return kExitCannotOpen;
    }
    probe.close();

    lumiset::ImageStore store;
    lumiset::RecordingOpenView view;
    view.showFile = true;
    lumiset::openCommand(store, view, fi.path(), fi.fileName());

    for (const QString& line : view.reportLines())
        print(line);
    print(QStringLiteral("--"));
    print(QStringLiteral("size: ") + view.labelText(lumiset::OpenLabel::Label1));
    const auto& notice = view.label(lumiset::OpenLabel::Label4);
    if (notice.visible)
        print(QStringLiteral("notice: ") + oneLine(notice.text));
    for (const auto& m : view.messages)
        print(QStringLiteral("message: ") + oneLine(m.title) + QStringLiteral(" | ") + oneLine(m.text));
    print(view.exportEnabled() ? QStringLiteral("export: yes") : QStringLiteral("export: no"));
    return kExitOk;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (args.size() == 2 && args[0] == QLatin1String("info"))
        return info(args[1]);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}
