// The seam between the plug-in and its editor: what the plug-in needs of the
// editor, and the kind of function that makes one. The plug-in is given that
// function when it is made; it knows no editor class.
#pragma once

class AEffEditor;

namespace zynka {

class Plugin;

/// What the plug-in asks of its editor beyond the host-facing AEffEditor.
class EditorLink {
 public:
  virtual ~EditorLink() = default;
  /// Sets the control bound to parameter `index` (no notice goes back to the plug-in).
  /// Any thread may call it; it never waits.
  virtual void setParameter(int index, float value) = 0;
  /// The text of the program-name field, at most 24 bytes and a zero, into `text`; false
  /// when there is no field to read (the editor is closed, or the call is not the editor's).
  virtual bool getProgramNameText(char* text) = 0;
  // The program menu's file commands, with their dialogs. True when the command ran to its
  // end within the call (a modal dialog: answered, failed or cancelled). False when it could
  // not run (the editor is closed, the call is not on the editor's thread, or another
  // command's dialog is still open) or when its dialog stays open while the host goes on:
  // then the editor calls Plugin::fileCommandFinished from a later idle pass, once it is over.
  virtual bool savePreset(int program) = 0;
  virtual bool loadPreset(int program) = 0;
  virtual bool saveBank() = 0;
  virtual bool loadBank() = 0;
};

/// The editor object as the plug-in holds it: one object seen through two interfaces.
struct EditorParts {
  AEffEditor* editor = nullptr;
  EditorLink* link = nullptr;
};

/// Makes the editor for `plugin`; none when it cannot. It may throw: the plug-in then carries
/// on without an editor.
using EditorFactory = EditorParts (*)(Plugin* plugin);

}  // namespace zynka
