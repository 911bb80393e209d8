#pragma once

// Maps the face names the window layouts use ("MS Sans Serif" for the Latin
// texts, "宋体" for the GB2312 texts) onto fonts that are installed on every
// machine the program is built on, so that text metrics do not depend on
// whatever fontconfig happens to pick. Must run before the first font is
// resolved, i.e. before any widget exists.
void InstallFontSubstitutions();
