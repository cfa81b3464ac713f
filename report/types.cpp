// Member names of the report model's enumerations and sets.
#include "report/types.h"

namespace report {

const core::EnumType kAlignType{
    "TqdrAlign", {"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"}};
const core::EnumType kShiftModeType{"TqdrShiftMode",
                                    {"smDontShift", "smAlways", "smWhenOverlapped"}};
const core::EnumType kStretchModeType{"TqdrStretchMode",
                                      {"smDontStretch", "smActualHeight", "smMaxHeight"}};
const core::EnumType kBrushStyleType{"TBrushStyle",
                                     {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                      "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}};
const core::EnumType kFrameStyleType{
    "TqdrFrameStyle", {"fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble"}};
const core::EnumType kFrameTypType{"TqdrFrameType", {"ftLeft", "ftRight", "ftTop", "ftBottom"}};
const core::EnumType kHAlignType{"TqdrHAlign", {"haLeft", "haRight", "haCenter", "haBlock"}};
const core::EnumType kVAlignType{"TqdrVAlign", {"vaTop", "vaBottom", "vaCenter"}};
const core::EnumType kFormatKindType{"TqdrFormatKind",
                                     {"fkText", "fkNumeric", "fkDateTime", "fkBoolean"}};
const core::EnumType kShapeKindType{"TqdrShapeKind",
                                    {"skRectangle", "skRoundRectangle", "skEllipse", "skTriangle",
                                     "skDiamond", "skDiagonal1", "skDiagonal2"}};
const core::EnumType kOrientationType{"TPrinterOrientation", {"poPortrait", "poLandscape"}};
const core::EnumType kDuplexType{"TqdrDuplexMode",
                                 {"dmNone", "dmVertical", "dmHorizontal", "dmSimplex"}};
const core::EnumType kBorderStyleType{
    "TFormBorderStyle",
    {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const core::EnumType kPositionType{
    "TPosition",
    {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
     "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
const core::EnumType kWindowStateType{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};
const core::EnumType kFontStyleType{"TFontStyle",
                                    {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const core::EnumType kFontPitchType{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const core::EnumType kRestrictionsType{
    "TqdrRestriction", {"rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete"}};
const core::EnumType kRangeBeginType{"TqdrRangeBegin", {"rbFirst", "rbCurrent"}};
const core::EnumType kRangeEndType{"TqdrRangeEnd", {"reLast", "reCurrent", "reCount"}};
const core::EnumType kSilentModeType{"TqdrSilentMode",
                                     {"simMessageBoxes", "simSilent", "simReThrow"}};
const core::EnumType kZoomModeType{"TqdrZoomMode",
                                   {"zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages"}};
const core::EnumType kPrintPagesType{"TqdrPrintPages", {"ppAll", "ppOdd", "ppEven"}};
const core::EnumType kPreviewButtonsType{
    "TqdrPreviewButton",
    {"pbPrint", "pbLoad", "pbSave", "pbExport", "pbZoom", "pbFind", "pbOutline", "pbPageSetup",
     "pbTools", "pbEdit", "pbNavigator", "pbExportQuick", "pbNoClose"}};

}  // namespace report
