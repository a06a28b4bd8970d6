#!/usr/bin/env bash
# Renders every icon and flag through Qt SVG (the renderer the application
# uses) at 16, 32 and 64 px, on a light and a dark background, into one
# contact sheet, and fails when Qt rejects a file or warns while reading it.
#
#   scripts/render_icons.sh [sheet.png]      (default /tmp/tarvik_icons.png)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
sheet="${1:-/tmp/tarvik_icons.png}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat > "$work/render.cpp" <<'EOF'
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

static int warnings = 0;
static void handler(QtMsgType, const QMessageLogContext &, const QString &m)
{
    std::fprintf(stderr, "Qt: %s\n", qPrintable(m));
    ++warnings;
}

static QImage render(QSvgRenderer &r, int px)
{
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    r.render(&p);
    return img;
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(handler);
    // columns: name | 16 px | 16 px enlarged 6x (pixels visible) | 32 px | 64 px
    const int colName = 110, col16 = 30, colZoom = 106, col32 = 42, col64 = 74, rowH = 104;
    const int half = colName + col16 + colZoom + col32 + col64;
    const int rows = argc - 2;
    QImage sheet(2 * half, rows * rowH + 8, QImage::Format_RGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter p(&sheet);
    p.fillRect(half, 0, half, sheet.height(), QColor(60, 63, 68));
    int bad = 0;
    for (int i = 0; i < rows; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i + 2]);
        QSvgRenderer r(file);
        if (!r.isValid()) {
            std::fprintf(stderr, "not a valid SVG for Qt: %s\n", argv[i + 2]);
            ++bad;
            continue;
        }
        const QImage a = render(r, 16), b = render(r, 32), c = render(r, 64);
        const QImage z = a.scaled(96, 96, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QFileInfo info(file);
        for (int side = 0; side < 2; ++side) {
            int x = side * half + 4;
            const int y = 4 + i * rowH;
            p.setPen(side ? Qt::white : Qt::black);
            p.drawText(x, y + 52, info.dir().dirName() + "/" + info.fileName());
            x += colName;
            p.drawImage(x, y + 40, a);
            x += col16;
            p.drawImage(x, y, z);
            x += colZoom;
            p.drawImage(x, y + 32, b);
            x += col32;
            p.drawImage(x, y + 16, c);
        }
    }
    p.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 2;
    }
    std::printf("%d files, %d rejected, %d warnings -> %s\n", rows, bad, warnings, argv[1]);
    return bad || warnings ? 1 : 0;
}
EOF

# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -O1 "$work/render.cpp" -o "$work/render" $(pkg-config --cflags --libs Qt6Svg Qt6Gui)

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$work/render" "$sheet" "$root"/resources/icons/*.svg "$root"/resources/flags/*.svg
