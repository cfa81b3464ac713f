// Units, constants and the enumerations of the report model, each with the
// member names that templates and scripts use for it.
#pragma once

#include <cstdint>

#include "core/reflection.h"

namespace report {

// Positions and sizes are pixels at 96 per inch; paper sizes and margins are millimetres.
inline constexpr double qr01cm = 3.77953;  // pixels per millimetre
inline constexpr double qr1cm = 37.7953;   // pixels per centimetre
inline constexpr double qr01in = 9.6;      // pixels per tenth of an inch
inline constexpr int qr1in = 96;           // pixels per inch
inline constexpr double qr1CharX = 9.6;    // character cell of a text-mode page
inline constexpr int qr1CharY = 17;
inline constexpr int32_t clTransparent = 0x1FFFFFFF;  // no fill: nothing is drawn
inline constexpr int32_t clBlack = 0;
inline constexpr int32_t clRed = 0x0000FF;
inline constexpr int32_t clWhite = 0xFFFFFF;
inline constexpr int32_t clSilver = 0xC0C0C0;
inline constexpr int32_t clBtnFace = static_cast<int32_t>(0x8000000F);
inline constexpr int crHand = 150;
inline constexpr int crZoom = 151;
inline constexpr int crFormat = 152;
inline constexpr int kCustomPaper = 256;  // PaperSize of a page with its own paper size
inline constexpr int kCharsetGB2312 = 134;

enum class TqdrAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum class TqdrShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum class TqdrStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum class TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};
enum class TqdrFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
enum class TqdrHAlign { haLeft, haRight, haCenter, haBlock };
enum class TqdrVAlign { vaTop, vaBottom, vaCenter };
enum class TqdrFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
enum class TqdrShapeKind {
  skRectangle,
  skRoundRectangle,
  skEllipse,
  skTriangle,
  skDiamond,
  skDiagonal1,
  skDiagonal2
};
enum class TPrinterOrientation { poPortrait, poLandscape };
enum class TqdrDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
enum class TqdrRangeBegin { rbFirst, rbCurrent };
enum class TqdrRangeEnd { reLast, reCurrent, reCount };
enum class TqdrSilentMode { simMessageBoxes, simSilent, simReThrow };
enum class TqdrZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };
enum class TqdrPrintPages { ppAll, ppOdd, ppEven };

// Sets are bit masks: bit i is member i of the element enumeration.
namespace frame_typ {
inline constexpr uint32_t ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8, ftAll = 15;
}
namespace font_style {
inline constexpr uint32_t fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;
}
namespace restriction {
inline constexpr uint32_t rfDontModify = 1, rfDontSize = 2, rfDontMove = 4, rfDontDelete = 8;
}
namespace preview_button {
inline constexpr uint32_t pbPrint = 1u << 0, pbLoad = 1u << 1, pbSave = 1u << 2, pbExport = 1u << 3,
                          pbZoom = 1u << 4, pbFind = 1u << 5, pbOutline = 1u << 6,
                          pbPageSetup = 1u << 7, pbTools = 1u << 8, pbEdit = 1u << 9,
                          pbNavigator = 1u << 10, pbExportQuick = 1u << 11, pbNoClose = 1u << 12;
inline constexpr uint32_t kDefault = (1u << 12) - 1;  // everything but pbNoClose
}  // namespace preview_button

// Member names, for reflection.
extern const core::EnumType kAlignType, kShiftModeType, kStretchModeType, kBrushStyleType,
    kFrameStyleType, kFrameTypType, kHAlignType, kVAlignType, kFormatKindType, kShapeKindType,
    kOrientationType, kDuplexType, kBorderStyleType, kPositionType, kWindowStateType,
    kFontStyleType, kFontPitchType, kRestrictionsType, kRangeBeginType, kRangeEndType,
    kSilentModeType, kZoomModeType, kPrintPagesType, kPreviewButtonsType;

}  // namespace report
