// Drawing of blocks and of the page's floating objects on a printer device.
#include "template/layout/page_formatter.h"

#include <cmath>

namespace lagrull {

void TWinPageFormatter::drawBlock(const TBlock& block, int x, int y) {
    if (drawing_) block.draw(*device_, numbers(), x, y);
}

void TWinPageFormatter::drawFloating(const TPageRelative& element) {
    if (!drawing_) return;
    if (element.drawing) {
        drawDrawing(*element.drawing, element.originX, element.originY);
        return;
    }
    int y = element.rect.top;
    for (const auto& b : element.blocks) {
        drawBlock(*b, element.rect.left, y);
        y += b->height;
    }
}

void TWinPageFormatter::drawDrawing(const TDrawingObject& d, int originX, int originY) {
    const TRect r{originX + d.left, originY + d.top, originX + d.left + d.width,
                  originY + d.top + d.height};
    TPen pen{d.lineWidth, d.lineColor, TLineStyle::Solid};
    const TPen* p = d.line ? &pen : nullptr;
    const TRtfColor* fill = d.filled ? &d.fillColor : nullptr;
    auto points = [&] {
        std::vector<TDrawingPoint> pts;
        for (const TDrawingPoint& pt : d.points) pts.push_back({r.left + pt.x, r.top + pt.y});
        return pts;
    };
    switch (d.shape) {
        case TDrawingKind::Line: {
            const int x1 = d.flipX ? r.right : r.left, x2 = d.flipX ? r.left : r.right;
            const int y1 = d.flipY ? r.bottom : r.top, y2 = d.flipY ? r.top : r.bottom;
            if (p) device_->drawLine(x1, y1, x2, y2, pen);
            break;
        }
        case TDrawingKind::Rectangle:
        case TDrawingKind::TextBox:
        case TDrawingKind::Callout: device_->drawRect(r, p, fill); break;
        case TDrawingKind::RoundRectangle:
            device_->drawRect(r, p, fill, std::min(r.width(), r.height()) / 6);
            break;
        case TDrawingKind::Ellipse: device_->drawEllipse(r, p, fill); break;
        case TDrawingKind::Arc: {
            // a quarter of an ellipse whose centre is the box's lower left
            // corner, or the corner the flips name
            const int cx = d.flipX ? r.right : r.left, cy = d.flipY ? r.top : r.bottom;
            const int sx = d.flipX ? -1 : 1, sy = d.flipY ? 1 : -1;
            std::vector<TDrawingPoint> arc;
            constexpr int kSteps = 24;
            for (int i = 0; i <= kSteps; ++i) {
                const double t = 1.5707963267948966 * i / kSteps;
                arc.push_back({cx + sx * static_cast<int>(std::lround(r.width() * std::sin(t))),
                               cy + sy * static_cast<int>(std::lround(r.height() * std::cos(t)))});
            }
            if (p) device_->drawPolygon(arc, false, p, nullptr);
            break;
        }
        case TDrawingKind::Polyline: device_->drawPolygon(points(), false, p, nullptr); break;
        case TDrawingKind::Polygon: device_->drawPolygon(points(), true, p, fill); break;
        case TDrawingKind::Picture:
            if (d.picture) device_->drawPicture(r, d.picture->picture());
            break;
        case TDrawingKind::Group:
            for (const auto& child : d.children) drawDrawing(*child, originX, originY);
            break;
    }
    if (!d.text.empty() && (d.shape == TDrawingKind::TextBox || d.shape == TDrawingKind::Callout)) {
        TLayoutContext context{*device_, *header_, tabWidth_};
        const TBlocks blocks = layoutSequence(d.text, std::max(1, r.width() - 144), context);
        int y = r.top + 72;
        for (const auto& b : blocks) {
            drawBlock(*b, r.left + 72, y);
            y += b->height;
        }
    }
}

}  // namespace lagrull
