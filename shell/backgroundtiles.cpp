#include "backgroundtiles.h"

#include <QImage>
#include <algorithm>

namespace corvane {
namespace {

constexpr int kTileSize = 64;

QRgb tint(DialogTile which) {
    switch (which) {
        case DialogTile::NewUser:
            return qRgb(232, 238, 247);
        case DialogTile::Find:
            return qRgb(236, 242, 232);
        case DialogTile::Help:
            return qRgb(245, 240, 228);
        case DialogTile::EditorAdd:
            return qRgb(234, 244, 236);
        case DialogTile::EditorView:
            return qRgb(236, 238, 246);
        case DialogTile::Label:
            return qRgb(246, 238, 232);
        case DialogTile::Picture:
            return qRgb(238, 238, 238);
    }
    return qRgb(240, 240, 240);
}

// A small deterministic noise, so that every run draws the same tile.
int grain(int x, int y) {
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<int>((h ^ (h >> 16)) % 7) - 3;
}

}  // namespace

QPixmap dialogTile(DialogTile which) {
    const QRgb base = tint(which);
    QImage tile(kTileSize, kTileSize, QImage::Format_RGB32);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            // Threads every fourth pixel in both directions, a shade darker,
            // wrapping exactly at the tile's edges.
            const int weave = ((x % 4 == 0) ? -5 : 0) + ((y % 4 == 0) ? -4 : 0);
            const int d = weave + grain(x, y);
            auto channel = [d](int c) { return std::clamp(c + d, 0, 255); };
            tile.setPixel(x, y,
                          qRgb(channel(qRed(base)), channel(qGreen(base)), channel(qBlue(base))));
        }
    }
    return QPixmap::fromImage(tile);
}

}  // namespace corvane
