#include "board/store/KeptPage.h"

#include "board/pixels/RasterCopy.h"

#include <utility>

KeptPage KeptPage::withoutPng(const CompactPage& compact)
{
    auto state = std::make_shared<State>();
    state->compact = compact;
    return KeptPage(state);
}

QImage::Format KeptPage::format() const
{
    const std::lock_guard lock(m_state->lock);
    return m_state->compact.isNull() ? m_state->image.format() : m_state->compact.format();
}

QImage KeptPage::toImage() const
{
    std::unique_lock lock(m_state->lock);
    if (m_state->compact.isNull())
        return m_state->image;
    const CompactPage compact = m_state->compact;
    lock.unlock();
    return compact.toImage();
}

void KeptPage::decodeInto(QImage& target) const
{
    std::unique_lock lock(m_state->lock);
    if (!m_state->compact.isNull()) {
        const CompactPage compact = m_state->compact;
        lock.unlock();
        compact.decodeInto(target);
        return;
    }
    const QImage image = m_state->image;
    lock.unlock();
    RasterCopy::copyWhole(image, target);
}

QList<QRect> KeptPage::decodeChangesInto(QImage& target, CompactPage& shown) const
{
    std::unique_lock lock(m_state->lock);
    const CompactPage compact = m_state->compact;
    lock.unlock();
    if (compact.isNull()) {
        shown = CompactPage();
        decodeInto(target);
        return {target.rect()};
    }
    return compact.decodeChangesInto(target, shown);
}

QRgb KeptPage::pixel(QPoint point) const
{
    std::unique_lock lock(m_state->lock);
    if (m_state->compact.isNull())
        return reinterpret_cast<const QRgb*>(m_state->image.constScanLine(point.y()))[point.x()];
    const CompactPage compact = m_state->compact;
    lock.unlock();
    return compact.pixel(point);
}

bool KeptPage::makeCompact(State& state)
{
    std::unique_lock lock(state.lock);
    if (!state.compact.isNull())
        return false;
    const QImage image = state.image;
    lock.unlock();
    // Made here even while another thread makes it too: the keeper runs only on an idle core, so
    // waiting for it could keep a turn waiting for as long as the machine is busy.
    const CompactPage compact(image);
    lock.lock();
    if (!state.compact.isNull())
        return false; // the other one was first: every copy stays the same compact form
    state.compact = compact;
    state.image = QImage();
    return true;
}

CompactPage KeptPage::compact() const
{
    makeCompact(*m_state);
    const std::lock_guard lock(m_state->lock);
    return m_state->compact;
}

KeptBytes KeptPage::png() const
{
    const std::lock_guard lock(m_state->lock);
    return m_state->png;
}

bool KeptPage::isWorthDecodingAhead() const
{
    const std::lock_guard lock(m_state->lock);
    return m_state->compact.isPicture();
}

QImage KeptPage::takeDecoded() const
{
    const std::lock_guard lock(m_state->lock);
    m_state->decodedWanted = false;
    return std::exchange(m_state->decoded, QImage());
}
