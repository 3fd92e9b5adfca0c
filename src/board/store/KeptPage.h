#pragma once

#include "board/store/CompactPage.h"
#include "board/store/KeptBytes.h"

#include <QImage>

#include <memory>
#include <mutex>

// A page kept while it is not on screen, as it was at one moment: its compact form and its PNG
// file (exactly what PngCodec::encode writes for it), both made by a PageKeeper in the background.
// Until the compact form is made the page is the image it was left as; either way every read
// gives the page's pixels. A picture's compact form is moved out of memory once its PNG is made.
// The page never changes, so what is made for it stays valid for as long as the page is kept: a
// page that changes is kept anew. Copies share everything; every member is safe to call from
// several threads at once.
class KeptPage {
public:
    KeptPage() = default;
    // A page kept compact, with no PNG file: a save encodes it.
    static KeptPage withoutPng(const CompactPage& compact);

    bool isNull() const { return !m_state; }
    QImage::Format format() const;

    QImage toImage() const;
    // Puts the page's pixels into target, reusing target's pixels when it is an image of the
    // page's size and format of its own.
    void decodeInto(QImage& target) const;
    // Puts the page's pixels into target, which holds the pixels of shown (a compact page, null
    // when target holds anything else): once the page is compact, only the tiles that differ are
    // written. shown becomes the page's compact form, or null while it has none. Returns the
    // rectangles written.
    QList<QRect> decodeChangesInto(QImage& target, CompactPage& shown) const;
    // One pixel's 32-bit value.
    QRgb pixel(QPoint point) const;

    // The compact form: made here when the keeper has not made it yet, so that no one waits
    // behind other pages or for the keeper's turn on a core.
    CompactPage compact() const;
    // The page's PNG file; null while it is not made yet, or when it could not be kept.
    KeptBytes png() const;

    // Whether decoding the page costs a turn more than it saves in memory to have it ready: a
    // compact page of a picture (a page of strokes decodes in well under a millisecond).
    bool isWorthDecodingAhead() const;
    // The page's pixels decoded ahead (see PageKeeper::decodeAhead), handed over once: null when
    // they are not ready. Either way the page no longer wants them: a decoding under way is not
    // kept.
    QImage takeDecoded() const;

private:
    friend class PageKeeper;

    struct State {
        mutable std::mutex lock;
        QImage image;        // the page until its compact form is made
        CompactPage compact; // null until made
        KeptBytes png;
        bool decodedWanted = false; // the page is next to the one on screen
        QImage decoded;             // its pixels decoded ahead, while wanted
    };

    explicit KeptPage(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    // Makes the compact form unless it is made, and puts it in place of the image unless another
    // thread was first; whether it was put in place here.
    static bool makeCompact(State& state);

    std::shared_ptr<State> m_state;
};
