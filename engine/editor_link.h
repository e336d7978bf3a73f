// The seam between the plug-in and its editor: what the plug-in needs of the
// editor, and the one function that creates it.
#pragma once

#include "host/aeffeditor.h"

namespace zynka {

class Plugin;

/// What the plug-in asks of its editor beyond the host-facing AEffEditor.
class EditorLink {
 public:
  virtual ~EditorLink() = default;
  /// Sets the control bound to parameter `index` (no notice goes back to the plug-in).
  virtual void setParameter(int index, float value) = 0;
  /// The text of the program-name field, at most 24 characters and a zero into `text`.
  virtual void getProgramNameText(char* text) = 0;
  virtual void savePreset(int program) = 0;
  virtual void loadPreset(int program) = 0;
  virtual void saveBank() = 0;
  virtual void loadBank() = 0;
};

/// The editor object as the plug-in holds it: one object seen through two interfaces.
struct EditorParts {
  AEffEditor* editor = nullptr;
  EditorLink* link = nullptr;
};

/// Creates the editor for `plugin`; a build without an editor returns none.
EditorParts createEditor(Plugin* plugin);

}  // namespace zynka
