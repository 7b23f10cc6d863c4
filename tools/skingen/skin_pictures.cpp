#include "skin_pictures.h"

#include "icon_writer.h"

#include <cmath>

#include "bmp_writer.h"
#include "png_writer.h"
#include "shapes.h"

namespace skingen {
namespace {

// A dark skin: charcoal surfaces lit slightly from above, one cool accent for
// progress, focus and the product mark. Text is drawn by the program in white
// or light grey, so every surface that carries text stays dark.
namespace colour {
const Rgba kFrameTop = Hex(0x272b31);
const Rgba kFrameBottom = Hex(0x121417);
const Rgba kFrameEdge = Hex(0x3b4149);
const Rgba kCardTop = Hex(0x1f2227);
const Rgba kCardBottom = Hex(0x15171a);
const Rgba kCardEdge = Hex(0x30353c);
const Rgba kSeparator = Hex(0x2d3238);
const Rgba kAccent = Hex(0x1fb6cf);
const Rgba kAccentLight = Hex(0x6fe3f2);
const Rgba kAccentDeep = Hex(0x0c7488);
const Rgba kLensBlue = Hex(0x1f6fd0);
const Rgba kGlyph = Hex(0xaeb5bd);
const Rgba kGlyphDim = Hex(0x4b5158);
const Rgba kWhite = Hex(0xffffff);
const Rgba kBlack = Hex(0x000000);
const Rgba kTrack = Hex(0x17191c);
}  // namespace colour

// Where the frame and its children meet.
constexpr float kFrameWidth = 457;
constexpr float kFrameHeight = 526;
constexpr float kFrameRadius = 10;  // the frame mask's corners
constexpr float kPageTop = 60;      // pages and step panels sit this far down the frame
constexpr float kPageRadius = 8;    // the page mask's corners
constexpr float kHeaderHeight = 56;

// The frame's charcoal at a height of the frame; the step panel uses the same
// colours so that it melts into the frame around it.
Rgba FrameColour(float y) { return Mix(colour::kFrameTop, colour::kFrameBottom, y / kFrameHeight); }

Paint FramePaint(float offset) {
  return [offset](float, float y) { return FrameColour(y + offset); };
}

float W(const Canvas& c) { return static_cast<float>(c.width()); }
float H(const Canvas& c) { return static_cast<float>(c.height()); }

// --- the product mark: a viewfinder's four corners around a lens ----------

void PaintMark(Canvas& canvas, float cx, float cy, float size) {
  float half = size / 2, inset = size * 0.1f, arm = size * 0.26f, stroke = size * 0.075f;
  float l = cx - half + inset, r = cx + half - inset, t = cy - half + inset, b = cy + half - inset;
  canvas.Draw(Polyline({{l, t + arm}, {l, t}, {l + arm, t}}, stroke), colour::kAccent);
  canvas.Draw(Polyline({{r - arm, t}, {r, t}, {r, t + arm}}, stroke), colour::kAccent);
  canvas.Draw(Polyline({{l, b - arm}, {l, b}, {l + arm, b}}, stroke), colour::kAccent);
  canvas.Draw(Polyline({{r - arm, b}, {r, b}, {r, b - arm}}, stroke), colour::kAccent);
  canvas.Draw(Outline(Circle(cx, cy, size * 0.3f), size * 0.035f), WithAlpha(colour::kAccent, 0.5f));
  float lens = size * 0.22f;
  canvas.Draw(Circle(cx, cy, lens), VerticalGradient(cy - lens, cy + lens, colour::kAccentLight, colour::kLensBlue));
  canvas.Draw(Circle(cx - size * 0.07f, cy - size * 0.07f, size * 0.06f), WithAlpha(colour::kWhite, 0.8f));
}

void PaintMarkPicture(Canvas& canvas) { PaintMark(canvas, W(canvas) / 2, H(canvas) / 2, W(canvas)); }

// A light that fades from `colour` at the centre to nothing at `radius`.
void PaintGlow(Canvas& canvas, float cx, float cy, float radius, Rgba centre) {
  canvas.Draw(Circle(cx, cy, radius), [=](float x, float y) {
    float dx = x - cx, dy = y - cy;
    float t = 1 - (dx * dx + dy * dy) / (radius * radius);
    return WithAlpha(centre, centre.a * (t > 0 ? t * t : 0));
  });
}

// A hairline of the accent colour that fades out towards both ends.
void PaintAccentLine(Canvas& canvas, float left, float right, float y) {
  float middle = (left + right) / 2, half = (right - left) / 2;
  canvas.Draw(Segment({left, y}, {right, y}, 1), [=](float x, float) {
    float t = 1 - std::abs(x - middle) / half;
    return WithAlpha(colour::kAccent, 0.9f * (t > 0 ? t : 0));
  });
}

// --- window backgrounds and their masks ------------------------------------

void PaintSplash(Canvas& canvas) {
  canvas.Fill(VerticalGradient(0, H(canvas), colour::kFrameTop, colour::kFrameBottom));
  float cx = W(canvas) / 2, cy = H(canvas) * 0.44f;
  PaintGlow(canvas, cx, cy, H(canvas) * 0.45f, WithAlpha(colour::kAccent, 0.18f));
  PaintMark(canvas, cx, cy, H(canvas) * 0.4f);
  PaintAccentLine(canvas, W(canvas) * 0.2f, W(canvas) * 0.8f, H(canvas) * 0.76f);
  canvas.Draw(Outline(RoundedRect(0.5f, 0.5f, W(canvas) - 0.5f, H(canvas) - 0.5f, 0), 1), colour::kFrameEdge);
}

void PaintFrame(Canvas& canvas) {
  canvas.Fill(FramePaint(0));
  // The header holds the minimise and close buttons; a faint lift and an
  // accent hairline set it off from the pages below.
  canvas.Draw(RoundedRect(0, 0, kFrameWidth, kHeaderHeight, 0), WithAlpha(colour::kWhite, 0.035f));
  PaintAccentLine(canvas, 12, kFrameWidth - 12, kHeaderHeight + 0.5f);
  PaintMark(canvas, 30, kHeaderHeight / 2, 26);
  canvas.Draw(Outline(RoundedRect(0.5f, 0.5f, kFrameWidth - 0.5f, kFrameHeight - 0.5f, kFrameRadius - 0.5f), 1),
              colour::kFrameEdge);
  // What the mask cuts away is black, so nothing of the frame shows there
  // if the cut and the picture ever disagree by a pixel.
  canvas.Stamp(RoundedRect(0, 0, kFrameWidth, kFrameHeight, kFrameRadius), colour::kBlack, true);
}

// Black is cut away, white is kept; nothing in between, so the region does
// not depend on how a grey would be judged.
void PaintMask(Canvas& canvas, float radius) {
  canvas.Fill(Solid(colour::kBlack));
  canvas.Stamp(RoundedRect(0, 0, W(canvas), H(canvas), radius), colour::kWhite);
}

void PaintFrameMask(Canvas& canvas) { PaintMask(canvas, kFrameRadius); }
void PaintPageMask(Canvas& canvas) { PaintMask(canvas, kPageRadius); }

void PaintPage(Canvas& canvas) {
  // The corners the mask cuts carry the frame's colour, so a mask stretched
  // for a larger display, whose edge pixels turn grey and are kept, shows
  // the frame there rather than a dark speck.
  canvas.Fill(FramePaint(kPageTop));
  canvas.Draw(RoundedRect(0, 0, W(canvas), H(canvas), kPageRadius),
              VerticalGradient(0, H(canvas), colour::kCardTop, colour::kCardBottom));
  canvas.Draw(Outline(RoundedRect(0.5f, 0.5f, W(canvas) - 0.5f, H(canvas) - 0.5f, kPageRadius - 0.5f), 1),
              colour::kCardEdge);
}

void PaintStepPanel(Canvas& canvas) {
  canvas.Fill(FramePaint(kPageTop));
  // The panel lies on the frame's left edge and covers it: it carries that
  // edge on.
  canvas.Draw(RoundedRect(0, 0, 1, H(canvas), 0), colour::kFrameEdge);
  // The frame shows the panel 145 pixels wide: the separator is its last column.
  canvas.Draw(Segment({144.5f, 10}, {144.5f, H(canvas) - 10}, 1), colour::kSeparator);
}

// --- push buttons: one face cut into left, middle and right slices ---------

constexpr int kSliceWidth = 12;  // the button draws its end slices 12 pixels wide

Canvas ButtonFace() {
  Canvas face(3 * kSliceWidth, 30);
  float w = W(face), h = H(face);
  Shape body = RoundedRect(0.5f, 0.5f, w - 0.5f, h - 0.5f, 6);
  face.Draw(body, VerticalGradient(0, h, Hex(0x3c4148), Hex(0x282c31)));
  face.Draw(Outline(body, 1), Hex(0x59606a));
  face.Draw(Segment({6, 1.5f}, {w - 6, 1.5f}, 1), WithAlpha(colour::kWhite, 0.1f));
  return face;
}

void PaintButtonSlice(Canvas& canvas, int slice) {
  canvas.Copy(ButtonFace(), slice * kSliceWidth, 0, kSliceWidth, canvas.height(), 0, 0);
}
void PaintButtonLeft(Canvas& canvas) { PaintButtonSlice(canvas, 0); }
void PaintButtonMid(Canvas& canvas) { PaintButtonSlice(canvas, 1); }
void PaintButtonRight(Canvas& canvas) { PaintButtonSlice(canvas, 2); }

// --- check boxes ------------------------------------------------------------

struct BoxLook {
  Paint fill;
  Rgba edge;
  bool checked;
  Rgba check;
  bool glow;
};

void PaintBox(Canvas& canvas, const BoxLook& look) {
  if (look.glow) canvas.Draw(Outline(RoundedRect(0.5f, 0.5f, 15.5f, 15.5f, 4), 1), WithAlpha(colour::kAccent, 0.35f));
  Shape box = RoundedRect(1.5f, 1.5f, 14.5f, 14.5f, 3);
  canvas.Draw(box, look.fill);
  canvas.Draw(Outline(box, 1.2f), look.edge);
  if (look.checked) canvas.Draw(CheckMark(8, 8, 9, 1.8f), look.check);
}

void PaintBoxCheckedDisabled(Canvas& c) {
  PaintBox(c, {Solid(Hex(0x2a2e33)), Hex(0x41464d), true, Hex(0x6b7178), false});
}
void PaintBoxNormal(Canvas& c) { PaintBox(c, {Solid(Hex(0x141619)), Hex(0x7b838d), false, {}, false}); }
void PaintBoxChecked(Canvas& c) {
  Paint fill = VerticalGradient(1.5f, 14.5f, Hex(0x4fd0e3), Hex(0x17a3bb));
  PaintBox(c, {fill, colour::kAccent, true, Hex(0x06161a), false});
}
void PaintBoxHover(Canvas& c) { PaintBox(c, {Solid(Hex(0x16262a)), colour::kAccent, false, {}, true}); }
void PaintBoxDisabled(Canvas& c) { PaintBox(c, {Solid(Hex(0x1b1d20)), Hex(0x3c4148), false, {}, false}); }

// --- minimise and close -----------------------------------------------------

enum class Caption { kMinimise, kClose };

// State as the picture's number says: 1 disabled, 2 normal, 3 pressed, 4 hover.
void PaintCaptionButton(Canvas& canvas, Caption which, int state) {
  float w = W(canvas), h = H(canvas);
  bool close = which == Caption::kClose;
  if (state == 3) canvas.Draw(RoundedRect(0, 0, w, h, 4), close ? Hex(0x8e2622) : colour::kAccentDeep);
  if (state == 4) canvas.Draw(RoundedRect(0, 0, w, h, 4), close ? Hex(0xc8423c) : Hex(0x353b42));
  Rgba glyph = state == 1 ? colour::kGlyphDim : state == 2 ? colour::kGlyph : colour::kWhite;
  canvas.Draw(close ? Cross(w / 2, h / 2, 9, 1.6f) : Minus(w / 2, h / 2 + 1, 10, 1.6f), glyph);
}

void PaintMinimiseDisabled(Canvas& c) { PaintCaptionButton(c, Caption::kMinimise, 1); }
void PaintMinimiseNormal(Canvas& c) { PaintCaptionButton(c, Caption::kMinimise, 2); }
void PaintMinimisePressed(Canvas& c) { PaintCaptionButton(c, Caption::kMinimise, 3); }
void PaintMinimiseHover(Canvas& c) { PaintCaptionButton(c, Caption::kMinimise, 4); }
void PaintCloseDisabled(Canvas& c) { PaintCaptionButton(c, Caption::kClose, 1); }
void PaintCloseNormal(Canvas& c) { PaintCaptionButton(c, Caption::kClose, 2); }
void PaintClosePressed(Canvas& c) { PaintCaptionButton(c, Caption::kClose, 3); }
void PaintCloseHover(Canvas& c) { PaintCaptionButton(c, Caption::kClose, 4); }

// --- progress bar -----------------------------------------------------------

void PaintProgressTrack(Canvas& canvas) {
  float w = W(canvas), h = H(canvas);
  canvas.Draw(RoundedRect(0, 0, w, h, h / 2), VerticalGradient(0, h, Hex(0x0c0e10), Hex(0x1a1d21)));
  canvas.Draw(Outline(RoundedRect(0.5f, 0.5f, w - 0.5f, h - 0.5f, h / 2 - 0.5f), 1), Hex(0x2b3036));
}

// The bar reveals the fill from the left as the work advances.
void PaintProgressFill(Canvas& canvas) {
  float w = W(canvas), h = H(canvas);
  Shape body = RoundedRect(1, 1, w - 1, h - 1, h / 2 - 1);
  canvas.Draw(body, VerticalGradient(1, h - 1, Hex(0x5fdcec), Hex(0x1198b0)));
  canvas.Draw(RoundedRect(4, 2.5f, w - 4, 6.5f, 2), WithAlpha(colour::kWhite, 0.22f));
  canvas.Draw(Outline(body, 1), WithAlpha(colour::kAccentDeep, 0.6f));
}

// --- combo box: one closed box cut into left, middle and a wide right piece --

// The box draws its left piece 12 pixels wide and its right piece 24.
Canvas ComboFace(bool dropped) {
  Canvas face(4 * kSliceWidth, 30);
  float w = W(face), h = H(face);
  Shape body = RoundedRect(0.5f, 0.5f, w - 0.5f, h - 0.5f, 5);
  face.Draw(body, VerticalGradient(0, h, Hex(0x1c1f23), Hex(0x15171a)));
  if (dropped) face.Draw(RoundedRect(25, 1, w - 1, h - 1, 4), WithAlpha(colour::kAccent, 0.15f));
  // Dropped down, only the right piece is swapped: the edge stays as it is.
  face.Draw(Outline(body, 1), Hex(0x4a5058));
  face.Draw(Segment({24.5f, 6}, {24.5f, h - 6}, 1), Hex(0x353a41));
  Shape arrow = Arrow(dropped ? Direction::kUp : Direction::kDown, 36, h / 2, 8);
  face.Draw(arrow, dropped ? colour::kAccent : colour::kGlyph);
  return face;
}

void PaintComboLeft(Canvas& c) { c.Copy(ComboFace(false), 0, 0, c.width(), c.height(), 0, 0); }
void PaintComboMid(Canvas& c) { c.Copy(ComboFace(false), kSliceWidth, 0, c.width(), c.height(), 0, 0); }
void PaintComboRight(Canvas& c) { c.Copy(ComboFace(false), 2 * kSliceWidth, 0, c.width(), c.height(), 0, 0); }
void PaintComboRightDropped(Canvas& c) { c.Copy(ComboFace(true), 2 * kSliceWidth, 0, c.width(), c.height(), 0, 0); }

// Behind each item of the dropped list. Items are written in black and the
// chosen one in white, so the plate is a mid grey that carries both.
void PaintListItem(Canvas& canvas) {
  float h = H(canvas);
  canvas.Fill(VerticalGradient(0, h, Hex(0x9aa1aa), Hex(0x858c95)));
  canvas.Draw(RoundedRect(0, h - 1, W(canvas), h, 0), Hex(0x6c737c));
}

// --- scroll-bar strip -------------------------------------------------------
//
// 9 x 3 square cells. Columns: 0 up arrow, 1 down arrow, 2 thumb, 3 track of a
// vertical bar; 4 to 7 the same for a horizontal bar (left, right, thumb,
// track); 8 the corner where both bars meet. Rows: 0 normal, 1 under the
// pointer, 2 pressed. The bar tiles the track cell along its length and
// draws the thumb from its first and last 3 pixels with the middle tiled, so
// both must look the same all along their axis.

constexpr int kCell = 21;

enum class StripPart { kFirstArrow, kSecondArrow, kThumb, kTrack, kCorner };

Canvas VerticalCell(StripPart part, int row) {
  Canvas cell(kCell, kCell, colour::kTrack);
  float c = kCell / 2.0f;
  switch (part) {
    case StripPart::kFirstArrow:
    case StripPart::kSecondArrow: {
      if (row == 1) cell.Draw(RoundedRect(2, 2, kCell - 2, kCell - 2, 3), Hex(0x2a3036));
      if (row == 2) cell.Draw(RoundedRect(2, 2, kCell - 2, kCell - 2, 3), colour::kAccentDeep);
      Rgba glyph = row == 0 ? Hex(0x8a929c) : row == 1 ? Hex(0xe8ecef) : colour::kWhite;
      cell.Draw(Arrow(part == StripPart::kFirstArrow ? Direction::kUp : Direction::kDown, c, c, 9), glyph);
      break;
    }
    case StripPart::kThumb: {
      Rgba body = row == 0 ? Hex(0x4a515a) : row == 1 ? Hex(0x66707b) : colour::kAccent;
      cell.Draw(RoundedRect(5, 0.5f, kCell - 5, kCell - 0.5f, 3), body);
      break;
    }
    case StripPart::kTrack:
      cell.Draw(RoundedRect(9, -1, kCell - 9, kCell + 1, 0), Hex(0x1e2125));
      break;
    case StripPart::kCorner:
      break;
  }
  return cell;
}

void PaintScrollStrip(Canvas& canvas) {
  const StripPart parts[4] = {StripPart::kFirstArrow, StripPart::kSecondArrow, StripPart::kThumb, StripPart::kTrack};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      Canvas cell = VerticalCell(parts[column], row);
      canvas.Copy(cell, 0, 0, kCell, kCell, column * kCell, row * kCell);
      // A horizontal bar's cell is the vertical one mirrored on its diagonal:
      // up becomes left, down becomes right, the thumb and track lie down.
      canvas.Copy(cell, 0, 0, kCell, kCell, (column + 4) * kCell, row * kCell, true);
    }
    canvas.Copy(VerticalCell(StripPart::kCorner, row), 0, 0, kCell, kCell, 8 * kCell, row * kCell);
  }
}

// --- step indicator balls and the finish picture ----------------------------

void PaintBallDone(Canvas& canvas) {
  Shape ball = Circle(8, 8, 6.5f);
  canvas.Draw(ball, VerticalGradient(1.5f, 14.5f, Hex(0xffb050), Hex(0xe0760e)));
  canvas.Draw(Outline(ball, 1), WithAlpha(Hex(0xb85e08), 0.8f));
  canvas.Draw(CheckMark(8, 8.3f, 7, 1.6f), colour::kWhite);
}

void PaintBallCurrent(Canvas& canvas) {
  canvas.Draw(Circle(8, 8, 7.5f), WithAlpha(Hex(0x3cc46a), 0.3f));
  canvas.Draw(Circle(8, 8, 5.5f), VerticalGradient(2.5f, 13.5f, Hex(0x6fe08f), Hex(0x23a553)));
  canvas.Draw(Circle(8, 8, 2), WithAlpha(colour::kWhite, 0.9f));
}

void PaintBallToCome(Canvas& canvas) {
  Shape ball = Circle(8, 8, 5.5f);
  canvas.Draw(ball, Hex(0x2a2e33));
  canvas.Draw(Outline(ball, 1.4f), Hex(0x6e757e));
}

void PaintFinalIcon(Canvas& canvas) {
  float c = W(canvas) / 2, r = W(canvas) / 2 - 6;
  PaintGlow(canvas, c, c, W(canvas) / 2, WithAlpha(colour::kAccent, 0.35f));
  Shape disc = Circle(c, c, r);
  canvas.Draw(disc, VerticalGradient(c - r, c + r, Hex(0x37cde2), Hex(0x0e8aa1)));
  canvas.Draw(Outline(disc, 1.5f), WithAlpha(Hex(0x8ff0fb), 0.6f));
  canvas.Draw(CheckMark(c, c + 1, r * 1.05f, r * 0.18f), colour::kWhite);
}

}  // namespace

// The skin description names most pictures; the keys after each row say
// where ("[Section] key col N" counts the value's columns from 0).
const std::vector<SkinPicture>& SkinPictures() {
  using F = Format;
  static const std::vector<SkinPicture> kPictures = {
      // Named by no line; shown while the setup program starts.
      {"flash.bmp", 249, 320, 200, F::kBitmap, PaintSplash, "splash: the product mark on charcoal"},
      // [DialogLeftWiz] THIS, [DialogLeftWizRepair] THIS: 149 x 314.
      {"left.bmp", 222, 149, 314, F::kBitmap, PaintStepPanel, "step panel background"},
      // THIS col 0 of [DialogFirst], [DialogSecond], [DialogSelLang], [GlimmoraInstallDlg],
      // [DialogOK] (288 x 395), and the parent background of their controls.
      {"nlvf_05_bg.bmp", 223, 288, 395, F::kBitmap, PaintPage, "page background"},
      // THIS col 0 of [DialogWizard] and [DialogRepair] (457 x 526); parent background of their buttons.
      {"zcut_03.bmp", 224, 457, 526, F::kBitmap, PaintFrame, "frame background"},
      // THIS col 1 of [DialogWizard] and [DialogRepair].
      {"zcut_03_bw.bmp", 225, 457, 526, F::kBitmap, PaintFrameMask, "frame shape mask, corners radius 10"},
      // Named by no line: the spare look of a box that is checked and disabled.
      {"checkbox_z01.png", 226, 16, 16, F::kPng, PaintBoxCheckedDisabled, "check box, checked and disabled"},
      // 1004, 1005 of [DialogOK] and [DialogRepair]: col 1 normal, col 2 checked,
      // col 3 disabled, col 4 hover, col 5 focus; drawn 16 x 16.
      {"checkbox_z02.png", 227, 16, 16, F::kPng, PaintBoxNormal, "check box, normal"},
      {"checkbox_z03.png", 228, 16, 16, F::kPng, PaintBoxChecked, "check box, checked"},
      {"checkbox_z04.png", 229, 16, 16, F::kPng, PaintBoxHover, "check box, hover and focus"},
      {"checkbox_z05.png", 255, 16, 16, F::kPng, PaintBoxDisabled, "check box, disabled"},
      // 1021 of [DialogWizard] and [DialogRepair], a picture button at (390, 8) as
      // large as its col 1 picture: col 1 and 5 "-02", col 2 "-03", col 3 "-01", col 4 "-04".
      {"cut_wc_-01.png", 230, 26, 22, F::kPng, PaintMinimiseDisabled, "minimise, disabled"},
      {"cut_wc_-02.png", 231, 26, 22, F::kPng, PaintMinimiseNormal, "minimise, normal and focus"},
      {"cut_wc_-03.png", 232, 26, 22, F::kPng, PaintMinimisePressed, "minimise, pressed"},
      {"cut_wc_-04.png", 233, 26, 22, F::kPng, PaintMinimiseHover, "minimise, hover"},
      // 1022 of the same sections, at (420, 8), the same columns.
      {"cut_wc_x_01.png", 234, 26, 22, F::kPng, PaintCloseDisabled, "close, disabled"},
      {"cut_wc_x_02.png", 235, 26, 22, F::kPng, PaintCloseNormal, "close, normal and focus"},
      {"cut_wc_x_03.png", 236, 26, 22, F::kPng, PaintClosePressed, "close, pressed"},
      {"cut_wc_x_04.png", 237, 26, 22, F::kPng, PaintCloseHover, "close, hover"},
      // [GlimmoraInstallDlg] 1013 col 1 (fill) and col 2 (track); stretched over the
      // bar at (10, 230), so they are made as wide as the bar that fits the page.
      {"jindutiao_dingtiao.png", 238, 268, 16, F::kPng, PaintProgressFill, "progress fill"},
      {"jindutiao_ditiao.png", 239, 268, 16, F::kPng, PaintProgressTrack, "progress track"},
      // Cols 1 to 3 of every "char" line: [DialogWizard] 1 to 7, [DialogRepair] 1 and 2,
      // [DialogSelLang] 1000. The button is 30 high and draws its ends 12 wide.
      {"lvf_button_left.png", 240, 12, 30, F::kPng, PaintButtonLeft, "push button, left end"},
      {"lvf_button_mid.png", 241, 12, 30, F::kPng, PaintButtonMid, "push button, middle (stretched)"},
      {"lvf_button_right.png", 242, 12, 30, F::kPng, PaintButtonRight, "push button, right end"},
      // 1023 of [DialogFirst] at (20, 20) and [DialogRepair] at (100, 70).
      {"lvf_logo_left.png", 243, 64, 64, F::kPng, PaintMarkPicture, "product mark"},
      // The step panels load the three balls by name and stretch them over their ball statics.
      {"lvf_setup_gr.png", 253, 16, 16, F::kPng, PaintBallToCome, "step ball, step to come (grey)"},
      {"lvf_ball_or.png", 252, 16, 16, F::kPng, PaintBallDone, "step ball, step done (orange)"},
      {"lvf_ball_green.png", 250, 16, 16, F::kPng, PaintBallCurrent, "step ball, current step (green)"},
      // [DialogOK] 1023 at (110, 70): 68 wide, centred on the 288-pixel page.
      {"lvf_final_icon.png", 254, 68, 68, F::kPng, PaintFinalIcon, "installation complete"},
      // THIS col 1 of the pages.
      {"nlvf_05_bg_tw.bmp", 256, 288, 395, F::kBitmap, PaintPageMask, "page shape mask, corners radius 8"},
      // Named by no line: the mark at icon size.
      {"first_icon.png", 260, 48, 48, F::kPng, PaintMarkPicture, "product mark, icon size"},
      // [DialogSecond] 1007 col 6, stretched behind each list item.
      {"black.png", 1045, 8, 18, F::kPng, PaintListItem, "list item plate (mid grey)"},
      // [DialogSecond] 1007: cols 0 and 3 left, cols 1 and 4 middle (stretched),
      // col 2 right, col 5 right while dropped down. The box is 30 high; its
      // ends are drawn 12 and 24 wide.
      {"_K_ComBobox_left.png", 1040, 12, 30, F::kPng, PaintComboLeft, "combo box, left end"},
      {"_K_ComBobox_Mid.png", 1041, 12, 30, F::kPng, PaintComboMid, "combo box, middle (stretched)"},
      {"_K_ComBobox_Right_1.png", 1042, 24, 30, F::kPng, PaintComboRight, "combo box, right end with arrow"},
      {"_K_ComBobox_Right_2.png", 1043, 24, 30, F::kPng, PaintComboRightDropped, "combo box, right end, dropped"},
      // [DialogSecond] 1003 col 0: 9 x 3 cells of 21 pixels.
      {"sCROLLbar2.bmp", 1044, 189, 63, F::kBitmap, PaintScrollStrip, "scroll-bar strip"},
  };
  return kPictures;
}

Canvas Render(const SkinPicture& picture) {
  Canvas canvas(picture.width, picture.height);
  picture.paint(canvas);
  return canvas;
}

std::vector<uint8_t> Encode(const SkinPicture& picture) {
  Canvas canvas = Render(picture);
  return picture.format == Format::kBitmap ? EncodeBmp(canvas) : EncodePng(canvas);
}

}  // namespace skingen

namespace skingen {

std::vector<uint8_t> EncodeProgramIcon() {
  std::vector<Canvas> sizes;
  for (int size : {16, 32, 48}) {
    Canvas canvas(size, size);
    PaintMarkPicture(canvas);
    sizes.push_back(std::move(canvas));
  }
  return EncodeIco(sizes);
}

}  // namespace skingen
