// Font faces the templates and windows ask for, mapped to installed faces so
// that layouts are the same on every machine.
#pragma once

namespace report {

// "宋体"/"SimSun" -> "AR PL UMing CN", "Tahoma" -> "DejaVu Sans".
void InstallFontSubstitutions();

}  // namespace report
