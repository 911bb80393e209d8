#pragma once

// What assistive technology learns about the plain controls of the windows:
// a read-only text box is a read-only text named by the label beside it
// (the label's buddy) whose value is its text; a label that reacts to clicks
// is a link that can be pressed; the status bar, the picture and the bevel
// line have their roles. Edits are the toolkit's own line edits, also named
// by their labels.
//
// Installs these together with the skinned controls' interfaces (one
// InstallAccessibleFactories call); call once the QApplication exists.
// Further calls do nothing.
void InstallAccessibility();
