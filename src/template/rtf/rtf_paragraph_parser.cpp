#include "template/rtf/rtf_paragraph_parser.h"

#include <limits>

namespace lagrull {

namespace {

bool on(const TRtfToken& t) { return !t.hasParam || t.param != 0; }

// The negative of a parameter; the most negative one has none and stays.
int negated(int v) { return v == std::numeric_limits<int>::min() ? v : -v; }

TShadingPattern patternOf(RtfWord w) {
    switch (w) {
        case RtfWord::w_bghoriz:
        case RtfWord::w_clbghoriz: return TShadingPattern::Horizontal;
        case RtfWord::w_bgvert:
        case RtfWord::w_clbgvert: return TShadingPattern::Vertical;
        case RtfWord::w_bgfdiag:
        case RtfWord::w_clbgfdiag: return TShadingPattern::ForwardDiagonal;
        case RtfWord::w_bgbdiag:
        case RtfWord::w_clbgbdiag: return TShadingPattern::BackwardDiagonal;
        case RtfWord::w_bgcross:
        case RtfWord::w_clbgcross: return TShadingPattern::Cross;
        case RtfWord::w_bgdcross:
        case RtfWord::w_clbgdcross: return TShadingPattern::DiagonalCross;
        case RtfWord::w_bgdkhor:
        case RtfWord::w_clbgdkhor: return TShadingPattern::DarkHorizontal;
        case RtfWord::w_bgdkvert:
        case RtfWord::w_clbgdkvert: return TShadingPattern::DarkVertical;
        case RtfWord::w_bgdkfdiag:
        case RtfWord::w_clbgdkfdiag: return TShadingPattern::DarkForwardDiagonal;
        case RtfWord::w_bgdkbdiag:
        case RtfWord::w_clbgdkbdiag: return TShadingPattern::DarkBackwardDiagonal;
        case RtfWord::w_bgdkcross:
        case RtfWord::w_clbgdkcross: return TShadingPattern::DarkCross;
        case RtfWord::w_bgdkdcross:
        case RtfWord::w_clbgdkdcross: return TShadingPattern::DarkDiagonalCross;
        default: return TShadingPattern::None;
    }
}

}  // namespace

TRtfParagraphParser::TRtfParagraphParser(TRtfTokenizer& tokens, TDocumentWriter& writer)
    : TRtfFileParser(tokens), writer_(writer) {}

TParagraphWriter& TRtfParagraphParser::out() { return writer_.paragraphs(); }

TParagraphWriter& TRtfParagraphParser::textOut() {
    TParagraphWriter& w = out();
    if (charDirty_ || attrsWriter_ != &w) {
        w.setCharAttributes(status_.chr);
        attrsWriter_ = &w;
        charDirty_ = false;
    }
    return w;
}

void TRtfParagraphParser::addChar(char32_t c) { textOut().addChar(c); }

void TRtfParagraphParser::addSpecial(TRunKind kind) { textOut().addSpecial(kind); }

void TRtfParagraphParser::onText(const TRtfToken& t) {
    if (skip_ > 0) {
        --skip_;
        return;
    }
    if (t.unicode)
        addChar(t.unicode);
    else
        addChar(t.ch < 0x80 ? t.ch : codePageToUnicode(t.ch, codePage_));
}

void TRtfParagraphParser::onBinary(const TRtfToken&) {
    if (skip_ > 0) --skip_;
}

void TRtfParagraphParser::onGroupStart() {
    if (stack_.size() < kMaxStack)
        stack_.push_back(status_);
    else
        ++overflow_;
    skip_ = 0;
}

void TRtfParagraphParser::onGroupEnd() {
    if (overflow_ > 0) {
        --overflow_;
    } else if (!stack_.empty()) {
        status_ = std::move(stack_.back());
        stack_.pop_back();
        charDirty_ = true;
    }
    skip_ = 0;
}

void TRtfParagraphParser::readInline() {
    if (tooDeep()) {
        skipGroup();
        return;
    }
    ++nesting_;
    onGroupStart();
    parseNested();
    onGroupEnd();
    --nesting_;
}

void TRtfParagraphParser::resetCharacter() {
    status_.chr = TCharAttributes{};
    status_.chr.font = header_.defaultFont;
}

void TRtfParagraphParser::endParagraph() {
    TParagraphWriter& w = textOut();  // the mark takes the formatting in effect
    if (!status_.para.inTable && w.hasOpenCells()) w.endRow(rowDefinition());
    w.endParagraph(status_.para);
}

void TRtfParagraphParser::onWord(const TRtfToken& t) {
    if (skip_ > 0) {
        --skip_;
        return;
    }
    const RtfWord w = lookupRtfWord(t.word());
    if (w == RtfWord::unknown) {
        if (t.wordLength == 1 && t.text.size() == 2) {
            switch (t.text[1]) {
                case '~': addChar(0x00A0); return;
                case '-': addChar(0x00AD); return;
                case '_': addChar(0x2011); return;
                default: break;
            }
        }
        TRtfFileParser::onWord(t);
        return;
    }
    if (!handleWord(w, t)) TRtfFileParser::onWord(t);
}

bool TRtfParagraphParser::paragraphWord(RtfWord w, const TRtfToken& t) {
    if (characterWord(w, t) || tableWord(w, t) || borderWord(w, t)) return true;
    TParaAttributes& p = status_.para;
    TFrameDef& fr = p.frame;
    const int v = t.paramOr(0);
    switch (w) {
        case RtfWord::w_pard:
            p = TParaAttributes{};
            border_ = BorderTarget::None;
            break;
        case RtfWord::w_par: endParagraph(); break;
        case RtfWord::w_s: p.style = v; break;
        case RtfWord::w_cs:
        case RtfWord::w_ds: break;  // style numbers: the formatting is written out
        case RtfWord::w_fi: p.firstIndent = v; break;
        case RtfWord::w_li: p.leftIndent = v; break;
        case RtfWord::w_ri: p.rightIndent = v; break;
        case RtfWord::w_ql: p.alignment = TAlignment::Left; break;
        case RtfWord::w_qr: p.alignment = TAlignment::Right; break;
        case RtfWord::w_qj: p.alignment = TAlignment::Justify; break;
        case RtfWord::w_qc: p.alignment = TAlignment::Center; break;
        case RtfWord::w_sb: p.spaceBefore = v; break;
        case RtfWord::w_sa: p.spaceAfter = v; break;
        case RtfWord::w_sl: p.lineSpacing = v; break;
        case RtfWord::w_slmult: p.lineMultiple = v != 0; break;
        case RtfWord::w_keep: p.keep = on(t); break;
        case RtfWord::w_keepn: p.keepNext = on(t); break;
        case RtfWord::w_pagebb: p.pageBreakBefore = on(t); break;
        case RtfWord::w_widctlpar: p.widowControl = true; break;
        case RtfWord::w_nowidctlpar: p.widowControl = false; break;
        case RtfWord::w_tql: pendingTab_.kind = TTabKind::Left; break;
        case RtfWord::w_tqr: pendingTab_.kind = TTabKind::Right; break;
        case RtfWord::w_tqc: pendingTab_.kind = TTabKind::Center; break;
        case RtfWord::w_tqdec: pendingTab_.kind = TTabKind::Decimal; break;
        case RtfWord::w_tldot: pendingTab_.leader = TTabLeader::Dots; break;
        case RtfWord::w_tlhyph: pendingTab_.leader = TTabLeader::Hyphens; break;
        case RtfWord::w_tlul: pendingTab_.leader = TTabLeader::Underline; break;
        case RtfWord::w_tlth: pendingTab_.leader = TTabLeader::Thick; break;
        case RtfWord::w_tleq: pendingTab_.leader = TTabLeader::Equal; break;
        case RtfWord::w_tx:
            pendingTab_.position = v;
            // Word processors write at most a few dozen stops.
            if (p.tabs.stops().size() < kMaxTabs) p.tabs.add(pendingTab_);
            pendingTab_ = TTabStop{};
            break;
        case RtfWord::w_tab: addSpecial(TRunKind::Tab); break;
        case RtfWord::w_line: addSpecial(TRunKind::LineBreak); break;
        case RtfWord::w_page: addSpecial(TRunKind::PageBreak); break;
        case RtfWord::w_column: addSpecial(TRunKind::ColumnBreak); break;
        case RtfWord::w_chpgn: addSpecial(TRunKind::PageNumber); break;
        case RtfWord::w_numpages: addSpecial(TRunKind::PageCount); break;
        case RtfWord::w_sectnum: addSpecial(TRunKind::SectionNumber); break;
        // frames
        case RtfWord::w_absw: fr.present = true, fr.width = v; break;
        case RtfWord::w_absh: fr.present = true, fr.height = v; break;
        case RtfWord::w_posx:
            fr.present = true, fr.horzPos = TFrameHorzPos::Offset, fr.x = v;
            break;
        case RtfWord::w_posnegx:
            fr.present = true, fr.horzPos = TFrameHorzPos::Offset, fr.x = negated(v);
            break;
        case RtfWord::w_posxc: fr.present = true, fr.horzPos = TFrameHorzPos::Center; break;
        case RtfWord::w_posxi: fr.present = true, fr.horzPos = TFrameHorzPos::Inside; break;
        case RtfWord::w_posxo: fr.present = true, fr.horzPos = TFrameHorzPos::Outside; break;
        case RtfWord::w_posxl: fr.present = true, fr.horzPos = TFrameHorzPos::Left; break;
        case RtfWord::w_posxr: fr.present = true, fr.horzPos = TFrameHorzPos::Right; break;
        case RtfWord::w_posy:
            fr.present = true, fr.vertPos = TFrameVertPos::Offset, fr.y = v;
            break;
        case RtfWord::w_posnegy:
            fr.present = true, fr.vertPos = TFrameVertPos::Offset, fr.y = negated(v);
            break;
        case RtfWord::w_posyt: fr.present = true, fr.vertPos = TFrameVertPos::Top; break;
        case RtfWord::w_posyil:
        case RtfWord::w_posyin: fr.present = true, fr.vertPos = TFrameVertPos::Inline; break;
        case RtfWord::w_posyb: fr.present = true, fr.vertPos = TFrameVertPos::Bottom; break;
        case RtfWord::w_posyc: fr.present = true, fr.vertPos = TFrameVertPos::Center; break;
        case RtfWord::w_phmrg: fr.present = true, fr.horzRef = TFrameHorzRef::Margin; break;
        case RtfWord::w_phpg: fr.present = true, fr.horzRef = TFrameHorzRef::Page; break;
        case RtfWord::w_phcol: fr.present = true, fr.horzRef = TFrameHorzRef::Column; break;
        case RtfWord::w_pvmrg: fr.present = true, fr.vertRef = TFrameVertRef::Margin; break;
        case RtfWord::w_pvpg: fr.present = true, fr.vertRef = TFrameVertRef::Page; break;
        case RtfWord::w_pvpara: fr.present = true, fr.vertRef = TFrameVertRef::Paragraph; break;
        case RtfWord::w_dfrmtxtx: fr.distanceX = v; break;
        case RtfWord::w_dfrmtxty: fr.distanceY = v; break;
        case RtfWord::w_dfrmtxt:
        case RtfWord::w_dfrtext: fr.distanceX = fr.distanceY = v; break;
        case RtfWord::w_abslock: fr.locked = on(t); break;
        case RtfWord::w_nowrap: fr.noWrap = true; break;
        case RtfWord::w_overlay: fr.overlay = true; break;
        default: return false;
    }
    return true;
}

bool TRtfParagraphParser::characterWord(RtfWord w, const TRtfToken& t) {
    TCharAttributes& c = status_.chr;
    const int v = t.paramOr(0);
    switch (w) {
        case RtfWord::w_plain: resetCharacter(); break;
        case RtfWord::w_b: c.bold = on(t); break;
        case RtfWord::w_i: c.italic = on(t); break;
        case RtfWord::w_caps: c.caps = on(t); break;
        case RtfWord::w_scaps: c.smallCaps = on(t); break;
        case RtfWord::w_outl: c.outline = on(t); break;
        case RtfWord::w_shad: c.shadow = on(t); break;
        case RtfWord::w_strike: c.strike = on(t); break;
        case RtfWord::w_striked:
        case RtfWord::w_strikedl: c.doubleStrike = on(t); break;
        case RtfWord::w_v: c.hidden = on(t); break;
        case RtfWord::w_ul: c.underline = on(t) ? TUnderline::Single : TUnderline::None; break;
        case RtfWord::w_uld: c.underline = TUnderline::Dotted; break;
        case RtfWord::w_uldash: c.underline = TUnderline::Dash; break;
        case RtfWord::w_uldashd: c.underline = TUnderline::DashDot; break;
        case RtfWord::w_uldashdd: c.underline = TUnderline::DashDotDot; break;
        case RtfWord::w_uldb: c.underline = TUnderline::Double; break;
        case RtfWord::w_ulth: c.underline = TUnderline::Thick; break;
        case RtfWord::w_ulw: c.underline = TUnderline::Word; break;
        case RtfWord::w_ulwave: c.underline = TUnderline::Wave; break;
        case RtfWord::w_ulnone: c.underline = TUnderline::None; break;
        case RtfWord::w_up: c.offset = t.paramOr(6); break;
        case RtfWord::w_dn: c.offset = negated(t.paramOr(6)); break;
        case RtfWord::w_sub: c.vertical = TVerticalPos::Sub; break;
        case RtfWord::w_super: c.vertical = TVerticalPos::Super; break;
        case RtfWord::w_nosupersub: c.vertical = TVerticalPos::Normal; break;
        case RtfWord::w_f: c.font = v; break;
        case RtfWord::w_fs: c.fontSize = t.paramOr(24); break;
        case RtfWord::w_cf: c.color = v; break;
        case RtfWord::w_cb: c.background = v; break;
        case RtfWord::w_expnd: c.expand = static_cast<int>(static_cast<long long>(v) * 5); break;
        case RtfWord::w_expndtw: c.expand = v; break;
        case RtfWord::w_kerning: c.kerning = v; break;
        case RtfWord::w_chcfpat: c.shading.foreColor = v; break;
        case RtfWord::w_chcbpat: c.shading.backColor = v; break;
        case RtfWord::w_chshdng: c.shading.percent = v; break;
        case RtfWord::w_uc: status_.ucSkip = v < 0 ? 0 : t.paramOr(1); return true;
        case RtfWord::w_u: {
            if (!t.hasParam) return true;
            const std::int32_t u = t.param < 0 ? t.param + 65536 : t.param;
            skip_ = status_.ucSkip;
            if (u >= 0xD800 && u <= 0xDBFF) {
                highSurrogate_ = static_cast<char16_t>(u);
                return true;
            }
            if (u >= 0xDC00 && u <= 0xDFFF) {
                if (highSurrogate_)
                    addChar(0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xD800) << 10) +
                            (static_cast<char32_t>(u) - 0xDC00));
                highSurrogate_ = 0;
                return true;
            }
            highSurrogate_ = 0;
            addChar(u > 0 && u <= 0x10FFFF ? static_cast<char32_t>(u) : U'\uFFFD');
            return true;
        }
        default: return false;
    }
    charDirty_ = true;
    return true;
}

bool TRtfParagraphParser::tableWord(RtfWord w, const TRtfToken& t) {
    TTableDef& r = rowDef_;
    TCellDef& c = pendingCell_;
    const int v = t.paramOr(0);
    switch (w) {
        case RtfWord::w_trowd:
            r = TTableDef{};
            c = TCellDef{};
            border_ = BorderTarget::None;
            break;
        case RtfWord::w_trgaph: r.gap = v; break;
        case RtfWord::w_trleft: r.left = v; break;
        case RtfWord::w_trrh: r.rowHeight = v; break;
        case RtfWord::w_trhdr: r.header = on(t); break;
        case RtfWord::w_trkeep: r.keep = on(t); break;
        case RtfWord::w_trql: r.alignment = TAlignment::Left; break;
        case RtfWord::w_trqr: r.alignment = TAlignment::Right; break;
        case RtfWord::w_trqc: r.alignment = TAlignment::Center; break;
        case RtfWord::w_tblind: r.indent = v; break;
        case RtfWord::w_tblindtype: r.indentType = v; break;
        case RtfWord::w_trpaddl: r.paddingLeft = v; break;
        case RtfWord::w_cellx: {
            const int previous = r.cells.empty() ? r.left : r.cells.back().right;
            c.right = v;
            c.width = static_cast<int>(static_cast<long long>(v) - previous);
            // A row of more cells than a word processor makes is hostile input.
            if (r.cells.size() < 1000) r.cells.push_back(c);
            c = TCellDef{};
            border_ = BorderTarget::None;
            break;
        }
        case RtfWord::w_intbl: status_.para.inTable = true; return true;
        case RtfWord::w_cell: textOut().endCell(status_.para); return true;
        case RtfWord::w_row: out().endRow(rowDefinition()); return true;
        case RtfWord::w_clvertalt: c.vertAlign = TVertAlign::Top; break;
        case RtfWord::w_clvertalc: c.vertAlign = TVertAlign::Center; break;
        case RtfWord::w_clvertalb: c.vertAlign = TVertAlign::Bottom; break;
        case RtfWord::w_cltxlrtb: c.textFlow = TTextFlow::LeftRightTopBottom; break;
        case RtfWord::w_cltxbtlr: c.textFlow = TTextFlow::BottomTopLeftRight; break;
        case RtfWord::w_cltxtbrl: c.textFlow = TTextFlow::TopBottomRightLeft; break;
        case RtfWord::w_clshdng: c.shading.percent = v; break;
        case RtfWord::w_clcfpat: c.shading.foreColor = v; break;
        case RtfWord::w_clcbpat: c.shading.backColor = v; break;
        case RtfWord::w_clvmgf: c.verticalMerge = TCellMerge::First; break;
        case RtfWord::w_clvmrg: c.verticalMerge = TCellMerge::Continue; break;
        case RtfWord::w_clmgf: c.horizontalMerge = TCellMerge::First; break;
        case RtfWord::w_clmrg: c.horizontalMerge = TCellMerge::Continue; break;
        case RtfWord::w_clbghoriz:
        case RtfWord::w_clbgvert:
        case RtfWord::w_clbgfdiag:
        case RtfWord::w_clbgbdiag:
        case RtfWord::w_clbgcross:
        case RtfWord::w_clbgdcross:
        case RtfWord::w_clbgdkhor:
        case RtfWord::w_clbgdkvert:
        case RtfWord::w_clbgdkfdiag:
        case RtfWord::w_clbgdkbdiag:
        case RtfWord::w_clbgdkcross:
        case RtfWord::w_clbgdkdcross: c.shading.pattern = patternOf(w); break;
        default: return false;
    }
    sharedRowDef_.reset();
    return true;
}

const TTableDefPtr& TRtfParagraphParser::rowDefinition() {
    if (!sharedRowDef_) sharedRowDef_ = std::make_shared<const TTableDef>(rowDef_);
    return sharedRowDef_;
}

template <class Change>
void TRtfParagraphParser::changeBorder(Change change) {
    TParaAttributes& p = status_.para;
    switch (border_) {
        case BorderTarget::None: break;
        case BorderTarget::ParaTop: change(p.borderTop); break;
        case BorderTarget::ParaBottom: change(p.borderBottom); break;
        case BorderTarget::ParaLeft: change(p.borderLeft); break;
        case BorderTarget::ParaRight: change(p.borderRight); break;
        case BorderTarget::ParaBetween: change(p.borderBetween); break;
        case BorderTarget::ParaBar: change(p.borderBar); break;
        case BorderTarget::ParaBox:
            change(p.borderTop), change(p.borderBottom), change(p.borderLeft),
                change(p.borderRight);
            break;
        case BorderTarget::RowTop: change(rowDef_.borderTop), sharedRowDef_.reset(); break;
        case BorderTarget::RowBottom: change(rowDef_.borderBottom), sharedRowDef_.reset(); break;
        case BorderTarget::RowLeft: change(rowDef_.borderLeft), sharedRowDef_.reset(); break;
        case BorderTarget::RowRight: change(rowDef_.borderRight), sharedRowDef_.reset(); break;
        case BorderTarget::RowHorizontal:
            change(rowDef_.borderHorizontal), sharedRowDef_.reset();
            break;
        case BorderTarget::RowVertical:
            change(rowDef_.borderVertical), sharedRowDef_.reset();
            break;
        case BorderTarget::CellTop: change(pendingCell_.borderTop); break;
        case BorderTarget::CellBottom: change(pendingCell_.borderBottom); break;
        case BorderTarget::CellLeft: change(pendingCell_.borderLeft); break;
        case BorderTarget::CellRight: change(pendingCell_.borderRight); break;
    }
}

bool TRtfParagraphParser::borderWord(RtfWord w, const TRtfToken& t) {
    const int v = t.paramOr(0);
    const auto target = [&](BorderTarget b) {
        border_ = b;
        // A border word names its side anew: the style words follow it.
        changeBorder([](TBorderDef& d) {
            d = TBorderDef{};
            d.style = TBorderStyle::Single;
        });
    };
    const auto style = [&](TBorderStyle s) { changeBorder([s](TBorderDef& d) { d.style = s; }); };
    TShading& sh = status_.para.shading;
    switch (w) {
        case RtfWord::w_brdrt: target(BorderTarget::ParaTop); break;
        case RtfWord::w_brdrb: target(BorderTarget::ParaBottom); break;
        case RtfWord::w_brdrl: target(BorderTarget::ParaLeft); break;
        case RtfWord::w_brdrr: target(BorderTarget::ParaRight); break;
        case RtfWord::w_brdrbtw:
        case RtfWord::w_brdrtw: target(BorderTarget::ParaBetween); break;
        case RtfWord::w_brdrbar: target(BorderTarget::ParaBar); break;
        case RtfWord::w_box: target(BorderTarget::ParaBox); break;
        case RtfWord::w_trbrdrt: target(BorderTarget::RowTop); break;
        case RtfWord::w_trbrdrb: target(BorderTarget::RowBottom); break;
        case RtfWord::w_trbrdrl: target(BorderTarget::RowLeft); break;
        case RtfWord::w_trbrdrr: target(BorderTarget::RowRight); break;
        case RtfWord::w_trbrdrh: target(BorderTarget::RowHorizontal); break;
        case RtfWord::w_trbrdrv: target(BorderTarget::RowVertical); break;
        case RtfWord::w_clbrdrt: target(BorderTarget::CellTop); break;
        case RtfWord::w_clbrdrb: target(BorderTarget::CellBottom); break;
        case RtfWord::w_clbrdrl: target(BorderTarget::CellLeft); break;
        case RtfWord::w_clbrdrr: target(BorderTarget::CellRight); break;
        case RtfWord::w_brdrs: style(TBorderStyle::Single); break;
        case RtfWord::w_brdrth: style(TBorderStyle::Thick); break;
        case RtfWord::w_brdrsh: style(TBorderStyle::Shadow); break;
        case RtfWord::w_brdrdb:
        case RtfWord::w_brdrtriple: style(TBorderStyle::Double); break;
        case RtfWord::w_brdrdot: style(TBorderStyle::Dotted); break;
        case RtfWord::w_brdrdash:
        case RtfWord::w_brdrdashsm:
        case RtfWord::w_brdrdashd:
        case RtfWord::w_brdrdashdd: style(TBorderStyle::Dashed); break;
        case RtfWord::w_brdrhair: style(TBorderStyle::Hairline); break;
        case RtfWord::w_brdrnone:
        case RtfWord::w_brdrnil:
        case RtfWord::w_brdrtbl: style(TBorderStyle::None); break;
        case RtfWord::w_brdrw: changeBorder([v](TBorderDef& d) { d.width = v; }); break;
        case RtfWord::w_brdrcf: changeBorder([v](TBorderDef& d) { d.color = v; }); break;
        case RtfWord::w_brsp: changeBorder([v](TBorderDef& d) { d.space = v; }); break;
        case RtfWord::w_shading: sh.percent = v; break;
        case RtfWord::w_cfpat: sh.foreColor = v; break;
        case RtfWord::w_cbpat: sh.backColor = v; break;
        case RtfWord::w_bghoriz:
        case RtfWord::w_bgvert:
        case RtfWord::w_bgfdiag:
        case RtfWord::w_bgbdiag:
        case RtfWord::w_bgcross:
        case RtfWord::w_bgdcross:
        case RtfWord::w_bgdkhor:
        case RtfWord::w_bgdkvert:
        case RtfWord::w_bgdkfdiag:
        case RtfWord::w_bgdkbdiag:
        case RtfWord::w_bgdkcross:
        case RtfWord::w_bgdkdcross: sh.pattern = patternOf(w); break;
        default: return false;
    }
    return true;
}

}  // namespace lagrull
