#pragma once

#include <QImage>
#include <QSize>

// Board pages of the kinds a classroom produces, drawn the same way for every seed so tests and
// benchmarks measure the same pixels: an empty page, a page with a few pen strokes, a photo, a
// desktop snapshot, and a page where every pixel has its own colour. Format_RGB32, no text
// rendering (so no fonts are needed).
namespace SamplePages {

enum class Kind { Empty, Strokes, Photo, Snapshot, EveryPixelDifferent };

QImage make(Kind kind, QSize size, quint32 seed = 1);
const char* nameOf(Kind kind);

constexpr Kind AllKinds[] = {Kind::Empty, Kind::Strokes, Kind::Photo, Kind::Snapshot,
                             Kind::EveryPixelDifferent};

} // namespace SamplePages
