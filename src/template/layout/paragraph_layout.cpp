// Line breaking of paragraphs. A paragraph's runs are cut into atoms (words,
// blanks, tabs, breaks, page fields, pictures); lines are filled greedily and
// broken after a blank or a tab, a word longer than the line is broken
// between characters. Blanks at the end of a line hang past the edge.
// Right, centred and decimal tabs are resolved when their segment ends.
#include <algorithm>

#include "common/text_codec.h"
#include "template/layout/layout_blocks.h"

namespace lagrull {

namespace {

// How far a line may measure past the edge and still fit, in twips.
constexpr int kFitTolerance = 2;

enum class AtomKind { Word, Space, Tab, LineBreak, PageBreak, ColumnBreak, Field, Picture };

struct Atom {
    AtomKind kind = AtomKind::Word;
    std::string text;
    TTextStyle style;
    int rise = 0;  // raised (positive) or lowered text, twips
    int width = 0, ascent = 0, descent = 0;
    TRunKind field = TRunKind::Text;
    const TPrintablePicture* picture = nullptr;
    TTabLeader leader = TTabLeader::None;
    TTabKind tabKind = TTabKind::Left;  // of the stop a tab moved to
    int x = 0;                          // position in the line, set when placed
};

// How the pieces between two tabs keep their place when a page field turns
// out narrower than laid out: by their left edge, their right edge (right
// and decimal tabs, right-aligned lines) or their middle.
enum class Anchor : std::uint8_t { Left, Right, Center };

struct Piece {
    AtomKind kind;
    int x, width, rise;
    std::string text;
    TTextStyle style;
    TRunKind field;
    const TPrintablePicture* picture;
    int segment = 0;  // the pieces between two tabs share one
    Anchor anchor = Anchor::Left;
};

struct Decoration {
    int left = 0, right = 0;
    std::optional<TRtfColor> fill;
    TBorderPen top, bottom, side;
    bool hasTop = false, hasBottom = false, hasLeft = false, hasRight = false;
};

class TLineBlock : public TBlock {
public:
    std::vector<Piece> pieces;
    int top = 0;  // space above the text: space before and top border on the first line
    // the room the paragraph's top and bottom borders take, on its first and
    // last lines: word processors set the text inside them
    int borderAbove = 0, borderBelow = 0;
    int ascent = 0;
    int textHeight = 0;
    std::shared_ptr<const Decoration> decoration;
    bool first = false, last = false;

    void draw(TPrintDevice& device, const TPageNumbers& numbers, int x, int y) const override {
        if (decoration) drawDecoration(device, x, y);
        const int baseline = y + top + ascent;
        if (!hasFields) {
            for (const Piece& p : pieces) drawPiece(device, p, x + p.x, baseline, p.text);
            return;
        }
        // Page fields were laid out as "00". Each is measured by the text
        // it shows on this page; the difference moves the pieces of its
        // segment towards the segment's anchor, so text before a right tab
        // still ends on the stop.
        std::vector<std::string> fieldTexts(pieces.size());
        std::vector<int> narrower(pieces.size(), 0);
        std::vector<int> segmentTotal(pieces.empty() ? 0 : pieces.back().segment + 1, 0);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const Piece& p = pieces[i];
            if (p.kind != AtomKind::Field) continue;
            fieldTexts[i] = std::to_string(p.field == TRunKind::PageNumber      ? numbers.page
                                           : p.field == TRunKind::SectionNumber ? numbers.section
                                                                                : numbers.highest);
            narrower[i] = p.width - device.textWidth(p.style.font, fieldTexts[i]);
            segmentTotal[static_cast<std::size_t>(p.segment)] += narrower[i];
        }
        int before = 0;  // the difference of the segment's fields drawn so far
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const Piece& p = pieces[i];
            if (i > 0 && pieces[i - 1].segment != p.segment) before = 0;
            const int total = segmentTotal[static_cast<std::size_t>(p.segment)];
            const int offset = p.anchor == Anchor::Right    ? total - before
                               : p.anchor == Anchor::Center ? total / 2 - before
                                                            : -before;
            drawPiece(device, p, x + p.x + offset, baseline,
                      p.kind == AtomKind::Field ? fieldTexts[i] : p.text);
            before += narrower[i];
        }
    }

    bool hasFields = false;  // page fields among the pieces

private:
    static void drawPiece(TPrintDevice& device, const Piece& p, int px, int baseline,
                          const std::string& text) {
        if (p.kind == AtomKind::Picture)
            device.drawPicture({px, baseline - p.picture->height(), px + p.width, baseline},
                               p.picture->picture());
        else
            device.drawText(px, baseline - p.rise, p.style, text);
    }

    void drawDecoration(TPrintDevice& device, int x, int y) const {
        const Decoration& d = *decoration;
        const int t = y + top - borderAbove, b = y + top + textHeight + borderBelow;
        if (d.fill) device.fillRect({x + d.left, t, x + d.right, b}, *d.fill);
        const int topLine = t + borderAbove / 2, bottomLine = b - borderBelow / 2;
        if (first && d.hasTop) drawBorder(device, x + d.left, topLine, x + d.right, topLine, d.top);
        if (last && d.hasBottom)
            drawBorder(device, x + d.left, bottomLine, x + d.right, bottomLine, d.bottom);
        if (d.hasLeft) drawBorder(device, x + d.left, t, x + d.left, b, d.side);
        if (d.hasRight) drawBorder(device, x + d.right, t, x + d.right, b, d.side);
    }
};

TTextStyle styleOf(const TCharAttributes& a, const TRtfHeader& header, int& rise) {
    TTextStyle s;
    const TRtfFontInfo* f = header.fonts.byNumber(a.font);
    s.font.family = f ? f->name : "Times New Roman";
    s.font.size = std::clamp(a.fontSize, 2, 3276);
    s.font.bold = a.bold;
    s.font.italic = a.italic;
    s.color = a.color > 0 ? header.colors.color(a.color) : 0;
    s.underline = a.underline;
    s.strike = a.strike || a.doubleStrike;
    rise = saneLength(static_cast<long long>(a.offset) * 10);
    if (a.vertical != TVerticalPos::Normal) {
        rise += (a.vertical == TVerticalPos::Super ? 1 : -1) * s.font.size * 10 / 3;
        s.font.size = std::max(2, s.font.size * 2 / 3);
    }
    return s;
}

class LineBreaker {
public:
    LineBreaker(const TParagraph& p, int width, TLayoutContext& c)
        : para_(p),
          width_(width),
          ctx_(c),
          leftIndent_(saneLength(p.attrs.leftIndent)),
          firstIndent_(saneLength(p.attrs.firstIndent)),
          rightIndent_(saneLength(p.attrs.rightIndent)) {}

    TBlocks run() {
        makeAtoms();
        const TParaAttributes& a = para_.attrs;
        auto deco = decoration();
        TBlocks blocks;
        std::size_t i = 0;
        bool firstLine = true, breakNext = false, columnNext = false;
        do {
            Line line = fill(i, firstLine);
            auto block = finish(line, firstLine);
            block->decoration = deco;
            block->breakBefore = breakNext;
            block->columnBreakBefore = columnNext;
            breakNext = line.endedBy == AtomKind::PageBreak;
            columnNext = line.endedBy == AtomKind::ColumnBreak;
            blocks.push_back(std::move(block));
            firstLine = false;
            i = line.end;
        } while (i < atoms_.size());
        auto* firstBlock = static_cast<TLineBlock*>(blocks.front().get());
        auto* lastBlock = static_cast<TLineBlock*>(blocks.back().get());
        firstBlock->first = true;
        const int before = std::max(0, saneLength(a.spaceBefore)),
                  after = std::max(0, saneLength(a.spaceAfter));
        if (deco && deco->hasTop) firstBlock->borderAbove = deco->top.width();
        firstBlock->top += before + firstBlock->borderAbove;
        firstBlock->height += before + firstBlock->borderAbove;
        firstBlock->spaceBefore = before;
        lastBlock->last = true;
        if (deco && deco->hasBottom) lastBlock->borderBelow = deco->bottom.width();
        lastBlock->height += lastBlock->borderBelow + after;
        lastBlock->spaceAfter = after;
        return blocks;
    }

private:
    struct Line {
        std::size_t begin = 0, end = 0;     // atoms [begin, end)
        AtomKind endedBy = AtomKind::Word;  // LineBreak, PageBreak, or Word for a wrap / the end
    };

    void addAtom(Atom a) { atoms_.push_back(std::move(a)); }

    void measure(Atom& a) {
        const TFontMetrics m = ctx_.measure.metrics(a.style.font);
        // the line gap goes above the text, where word processors put it
        a.ascent = m.ascent + m.lineGap + std::max(a.rise, 0);
        a.descent = m.descent + std::max(-a.rise, 0);
        if (a.kind == AtomKind::Word || a.kind == AtomKind::Space)
            a.width = saneLength(ctx_.measure.textWidth(a.style.font, a.text));
        else if (a.kind == AtomKind::Field)
            a.width = saneLength(ctx_.measure.textWidth(a.style.font, "00"));
    }

    void makeAtoms() {
        int markRise = 0;
        lastStyle_ = styleOf(para_.mark, ctx_.header, markRise);
        for (const TAttributedText& run : para_.runs) {
            if (run.attrs.hidden) continue;
            Atom base;
            base.style = styleOf(run.attrs, ctx_.header, base.rise);
            lastStyle_ = base.style;
            switch (run.kind) {
                case TRunKind::Text: {
                    const std::string text =
                        run.attrs.caps || run.attrs.smallCaps ? upperCase(run.text) : run.text;
                    std::size_t pos = 0;
                    while (pos < text.size()) {
                        Atom a = base;
                        const bool blank = text[pos] == ' ';
                        a.kind = blank ? AtomKind::Space : AtomKind::Word;
                        std::size_t end = blank ? pos + 1 : text.find(' ', pos);
                        if (end == std::string::npos) end = text.size();
                        a.text = text.substr(pos, end - pos);
                        pos = end;
                        measure(a);
                        addAtom(std::move(a));
                    }
                    break;
                }
                case TRunKind::Tab:
                case TRunKind::LineBreak:
                case TRunKind::PageBreak:
                case TRunKind::ColumnBreak: {
                    Atom a = base;
                    a.kind = run.kind == TRunKind::Tab           ? AtomKind::Tab
                             : run.kind == TRunKind::LineBreak   ? AtomKind::LineBreak
                             : run.kind == TRunKind::ColumnBreak ? AtomKind::ColumnBreak
                                                                 : AtomKind::PageBreak;
                    measure(a);
                    a.width = 0;
                    addAtom(std::move(a));
                    break;
                }
                case TRunKind::PageNumber:
                case TRunKind::PageCount:
                case TRunKind::SectionNumber: {
                    Atom a = base;
                    a.kind = AtomKind::Field;
                    a.field = run.kind;
                    measure(a);
                    addAtom(std::move(a));
                    break;
                }
                case TRunKind::Picture: {
                    if (!run.picture) break;
                    Atom a = base;
                    a.kind = AtomKind::Picture;
                    a.picture = run.picture.get();
                    a.width = std::max(0, saneLength(run.picture->width()));
                    a.ascent = std::max(0, saneLength(run.picture->height()));
                    a.descent = 0;
                    addAtom(std::move(a));
                    break;
                }
            }
        }
    }

    bool breakableBefore(std::size_t i) const {
        if (i == 0) return true;
        const AtomKind prev = atoms_[i - 1].kind, cur = atoms_[i].kind;
        return prev == AtomKind::Space || prev == AtomKind::Tab || prev == AtomKind::Picture ||
               cur == AtomKind::Picture || cur == AtomKind::Field || cur == AtomKind::Tab;
    }

    // Atoms [i, j) up to the next break opportunity: a word that stays on one line.
    std::size_t groupEnd(std::size_t i) const {
        std::size_t j = i + 1;
        while (j < atoms_.size() && !breakableBefore(j) && atoms_[j].kind == AtomKind::Word) ++j;
        return j;
    }

    struct Segment {
        bool open = false;
        std::size_t begin = 0;
        int start = 0;
        TTabStop stop;
    };

    // Moves the atoms of a pending right, centred or decimal tab segment.
    void closeSegment(Segment& seg, std::size_t end, int& x) {
        if (!seg.open) return;
        seg.open = false;
        int w = x - seg.start;
        if (seg.stop.kind == TTabKind::Decimal) {
            w = 0;
            for (std::size_t k = seg.begin; k < end; ++k) {
                const Atom& a = atoms_[k];
                const auto dot =
                    a.kind == AtomKind::Word ? a.text.find_first_of(",.") : std::string::npos;
                if (dot != std::string::npos) {
                    w += ctx_.measure.textWidth(a.style.font, a.text.substr(0, dot));
                    break;
                }
                w += a.width;
            }
        }
        int newStart =
            seg.stop.kind == TTabKind::Center ? seg.stop.position - w / 2 : seg.stop.position - w;
        newStart = std::max(newStart, seg.start);
        const int shift = newStart - seg.start;
        for (std::size_t k = seg.begin; k < end; ++k) atoms_[k].x += shift;
        if (seg.begin > 0 && atoms_[seg.begin - 1].kind == AtomKind::Tab)
            atoms_[seg.begin - 1].width += shift;
        x += shift;
    }

    Line fill(std::size_t i, bool firstLine) {
        Line line;
        line.begin = i;
        // Widths are measured with the fractions of the fonts' advances,
        // which word processors round to their device's pixels: a line as
        // wide as the text area may measure a twip or two more and still fits.
        const int limit = width_ - rightIndent_ + kFitTolerance;
        int x = std::clamp(leftIndent_ + (firstLine ? firstIndent_ : 0), 0, kMaxLength);
        bool content = false;
        Segment seg;
        while (i < atoms_.size()) {
            Atom& at = atoms_[i];
            if (at.kind == AtomKind::LineBreak || at.kind == AtomKind::PageBreak ||
                at.kind == AtomKind::ColumnBreak) {
                at.x = x;
                line.endedBy = at.kind;
                ++i;
                break;
            }
            if (at.kind == AtomKind::Tab) {
                closeSegment(seg, i, x);
                at.x = x;
                const TTabStop* stop = para_.attrs.tabs.after(x);
                TTabStop s;
                if (stop)
                    s = *stop;
                else
                    s.position = (x / ctx_.tabWidth + 1) * ctx_.tabWidth;
                s.position = std::min(s.position, 2 * kMaxLength);
                if (content && s.position > limit && !stop) {  // a default tab past the edge wraps
                    break;
                }
                at.leader = s.leader;
                at.tabKind = stop ? s.kind : TTabKind::Left;
                if (s.kind == TTabKind::Left || !stop) {
                    at.width = s.position - x;
                    x = s.position;
                } else {
                    at.width = 0;
                    seg = {true, i + 1, x, s};
                }
                content = true;
                ++i;
                continue;
            }
            if (at.kind == AtomKind::Space) {
                at.x = x;
                x = std::min(x + at.width, 4 * kMaxLength);
                ++i;
                continue;
            }
            const std::size_t j = groupEnd(i);
            long long w = 0;
            for (std::size_t k = i; k < j; ++k) w += atoms_[k].width;
            if (content && x + w > limit) break;
            if (!content && x + w > limit && atoms_[i].kind == AtomKind::Word &&
                splitLongWord(i, limit - x))
                continue;
            for (std::size_t k = i; k < j; ++k) {
                atoms_[k].x = x;
                x = std::min(x + atoms_[k].width, 4 * kMaxLength);
            }
            content = true;
            i = j;
        }
        closeSegment(seg, i, x);
        line.end = i;
        return line;
    }

    // A word wider than the line: the characters that fit stay, the rest
    // becomes a word of its own (at least one character stays). False when
    // the word cannot be split; it then runs past the edge.
    bool splitLongWord(std::size_t i, int room) {
        Atom& a = atoms_[i];
        const std::u32string chars = toU32(a.text);
        std::size_t n = 1;
        while (n < chars.size() &&
               ctx_.measure.textWidth(a.style.font,
                                      fromU32(std::u32string_view(chars).substr(0, n + 1))) <= room)
            ++n;
        if (n >= chars.size()) return false;
        Atom rest = a;
        a.text = fromU32(std::u32string_view(chars).substr(0, n));
        rest.text = fromU32(std::u32string_view(chars).substr(n));
        a.width = ctx_.measure.textWidth(a.style.font, a.text);
        rest.width = ctx_.measure.textWidth(rest.style.font, rest.text);
        // a space of no width lets the line break between the parts
        Atom gap = a;
        gap.kind = AtomKind::Space;
        gap.text.clear();
        gap.width = 0;
        atoms_.insert(atoms_.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                      {std::move(gap), std::move(rest)});
        return true;
    }

    std::unique_ptr<TLineBlock> finish(const Line& line, bool firstLine) {
        (void)firstLine;
        const TParaAttributes& a = para_.attrs;
        auto block = std::make_unique<TLineBlock>();
        // visible extent: trailing blanks do not count
        std::size_t visibleEnd = line.end;
        while (visibleEnd > line.begin && (atoms_[visibleEnd - 1].kind == AtomKind::Space ||
                                           atoms_[visibleEnd - 1].kind == AtomKind::LineBreak ||
                                           atoms_[visibleEnd - 1].kind == AtomKind::PageBreak ||
                                           atoms_[visibleEnd - 1].kind == AtomKind::ColumnBreak))
            --visibleEnd;
        int ascent = 0, descent = 0;
        for (std::size_t k = line.begin; k < line.end; ++k) {
            ascent = std::max(ascent, atoms_[k].ascent);
            descent = std::max(descent, atoms_[k].descent);
        }
        if (ascent == 0 && descent == 0) {  // an empty line: the paragraph mark's font, or the
                                            // last text's before a line break
            const TFontMetrics m = ctx_.measure.metrics(lastStyle_.font);
            ascent = m.ascent + m.lineGap;
            descent = m.descent;
        }
        const int right =
            visibleEnd > line.begin ? atoms_[visibleEnd - 1].x + atoms_[visibleEnd - 1].width : 0;
        const int limit = width_ - rightIndent_;
        const int slack = std::max(0, limit - right);
        int shift = 0;
        std::vector<int> extra(line.end - line.begin, 0);
        if (a.alignment == TAlignment::Right)
            shift = slack;
        else if (a.alignment == TAlignment::Center)
            shift = slack / 2;
        else if (a.alignment == TAlignment::Justify && line.end < atoms_.size() &&
                 line.endedBy == AtomKind::Word) {
            // the blanks after the line's last tab share the slack
            std::size_t from = line.begin;
            for (std::size_t k = line.begin; k < visibleEnd; ++k)
                if (atoms_[k].kind == AtomKind::Tab) from = k + 1;
            std::vector<std::size_t> blanks;
            for (std::size_t k = from; k < visibleEnd; ++k)
                if (atoms_[k].kind == AtomKind::Space) blanks.push_back(k);
            if (!blanks.empty()) {
                int added = 0;
                for (std::size_t b = 0; b < blanks.size(); ++b) {
                    const int upTo = static_cast<int>(static_cast<long long>(slack) *
                                                      static_cast<long long>(b + 1) /
                                                      static_cast<long long>(blanks.size()));
                    for (std::size_t k = blanks[b] + 1; k < line.end; ++k)
                        extra[k - line.begin] += upTo - added;
                    added = upTo;
                }
            }
        }
        // the text before the first tab keeps the line's alignment; a
        // leader is a segment of its own, its end fixed on the stop
        int segment = 0;
        Anchor anchor = a.alignment == TAlignment::Right    ? Anchor::Right
                        : a.alignment == TAlignment::Center ? Anchor::Center
                                                            : Anchor::Left;
        for (std::size_t k = line.begin; k < visibleEnd; ++k) {
            const Atom& at = atoms_[k];
            const int x = at.x + shift + extra[k - line.begin];
            if (at.kind == AtomKind::Tab) {
                if (at.leader != TTabLeader::None && at.width > 0)
                    addLeader(*block, at, x, ++segment);
                ++segment;
                anchor = at.tabKind == TTabKind::Left     ? Anchor::Left
                         : at.tabKind == TTabKind::Center ? Anchor::Center
                                                          : Anchor::Right;
                continue;
            }
            if (at.kind == AtomKind::LineBreak || at.kind == AtomKind::PageBreak ||
                at.kind == AtomKind::ColumnBreak)
                continue;
            if (at.kind == AtomKind::Space && at.text.empty()) continue;
            // runs of one style side by side are drawn as one
            if ((at.kind == AtomKind::Word || at.kind == AtomKind::Space) &&
                !block->pieces.empty()) {
                Piece& prev = block->pieces.back();
                if (prev.kind == AtomKind::Word && prev.segment == segment &&
                    prev.x + prev.width == x && prev.rise == at.rise &&
                    prev.style.font == at.style.font && prev.style.color == at.style.color &&
                    prev.style.underline == at.style.underline &&
                    prev.style.strike == at.style.strike) {
                    prev.text += at.text;
                    prev.width += at.width;
                    continue;
                }
            }
            block->hasFields = block->hasFields || at.kind == AtomKind::Field;
            block->pieces.push_back({at.kind == AtomKind::Space ? AtomKind::Word : at.kind, x,
                                     at.width, at.rise, at.text, at.style, at.field, at.picture,
                                     segment, anchor});
        }
        int textHeight = saneLength(static_cast<long long>(ascent) + descent);
        const int spacing = saneLength(a.lineSpacing);
        if (spacing > 0 && !a.lineMultiple)
            textHeight = std::max(textHeight, spacing);
        else if (spacing < 0)
            textHeight = -spacing;
        else if (spacing > 0 && a.lineMultiple)
            textHeight = saneLength(static_cast<long long>(textHeight) * spacing / 240);
        // a taller line puts its extra height above the text, but for a
        // multiple of single spacing, where word processors put it below
        if (textHeight < ascent + descent)
            ascent = std::max(0, textHeight - descent);
        else if (a.lineSpacing != 0 && !a.lineMultiple)
            ascent += textHeight - ascent - descent;
        block->ascent = ascent;
        block->textHeight = textHeight;
        block->height = textHeight;
        return block;
    }

    void addLeader(TLineBlock& block, const Atom& tab, int x, int segment) {
        const char* dot = tab.leader == TTabLeader::Dots      ? "."
                          : tab.leader == TTabLeader::Hyphens ? "-"
                          : tab.leader == TTabLeader::Equal   ? "="
                                                              : "_";
        const int w = std::max(1, ctx_.measure.textWidth(tab.style.font, dot));
        const int n = tab.width / w;
        if (n <= 0) return;
        std::string text;
        for (int k = 0; k < n; ++k) text += dot;
        block.pieces.push_back({AtomKind::Word, x + tab.width - n * w, n * w, tab.rise, text,
                                tab.style, TRunKind::Text, nullptr, segment, Anchor::Right});
    }

    std::shared_ptr<const Decoration> decoration() const {
        const TParaAttributes& a = para_.attrs;
        const TColorTable& colors = ctx_.header.colors;
        auto d = std::make_shared<Decoration>();
        d->left = leftIndent_;
        d->right = width_ - rightIndent_;
        d->fill = shadingFill(a.shading, colors);
        d->hasTop = a.borderTop.isSet();
        d->hasBottom = a.borderBottom.isSet();
        d->hasLeft = a.borderLeft.isSet();
        d->hasRight = a.borderRight.isSet();
        d->top = borderPen(a.borderTop, colors);
        d->bottom = borderPen(a.borderBottom, colors);
        d->side = borderPen(a.borderLeft.isSet() ? a.borderLeft : a.borderRight, colors);
        if (!d->fill && !d->hasTop && !d->hasBottom && !d->hasLeft && !d->hasRight) return nullptr;
        return d;
    }

    const TParagraph& para_;
    int width_;
    TLayoutContext& ctx_;
    int leftIndent_, firstIndent_, rightIndent_;
    std::vector<Atom> atoms_;
    TTextStyle lastStyle_;  // of the paragraph mark, then of the last run
};

}  // namespace

int totalHeight(const TBlocks& blocks) {
    long long h = 0;
    for (const auto& b : blocks) h += b->height;
    return saneLength(h);
}

std::optional<TRtfColor> shadingFill(const TShading& s, const TColorTable& colors) {
    const TRtfColor back = s.backColor > 0 ? colors.color(s.backColor) : kRtfWhite;
    if (s.percent <= 0) {
        if (s.backColor > 0) return back;
        return std::nullopt;
    }
    const TRtfColor fore = s.foreColor > 0 ? colors.color(s.foreColor) : 0;
    const int p = std::min(s.percent, 10000);
    auto mix = [p](int f, int b) { return b + (f - b) * p / 10000; };
    return rtfColor(mix(redOf(fore), redOf(back)), mix(greenOf(fore), greenOf(back)),
                    mix(blueOf(fore), blueOf(back)));
}

TBorderPen borderPen(const TBorderDef& border, const TColorTable& colors) {
    TPen pen;
    int w = border.width > 0 ? border.width : 15;
    if (border.style == TBorderStyle::Thick) w *= 2;
    if (border.style == TBorderStyle::Hairline) w = 1;
    pen.width = w;
    pen.color = border.color > 0 ? colors.color(border.color) : 0;
    pen.style = border.style == TBorderStyle::Dotted   ? TLineStyle::Dotted
                : border.style == TBorderStyle::Dashed ? TLineStyle::Dashed
                                                       : TLineStyle::Solid;
    return {pen, border.style == TBorderStyle::Double};
}

void drawBorder(TPrintDevice& device, int x1, int y1, int x2, int y2, const TBorderPen& border) {
    if (!border.doubled) {
        device.drawLine(x1, y1, x2, y2, border.pen);
        return;
    }
    // line, gap and line, each as wide as the border's width
    const int w = border.pen.width;
    const int dx = x1 == x2 ? w : 0, dy = x1 == x2 ? 0 : w;
    device.drawLine(x1 - dx, y1 - dy, x2 - dx, y2 - dy, border.pen);
    device.drawLine(x1 + dx, y1 + dy, x2 + dx, y2 + dy, border.pen);
}

TBlocks layoutParagraph(const TParagraph& paragraph, int width, TLayoutContext& context) {
    return LineBreaker(paragraph, width, context).run();
}

}  // namespace lagrull
