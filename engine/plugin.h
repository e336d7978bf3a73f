// Plugin: the synthesizer as the host sees it. Programs and parameters, the
// derived synthesis coefficients, MIDI intake and voices, rendering, and the
// texts the host shows for parameters.
#pragma once

#include "engine/config.h"
#include "engine/editor_link.h"
#include "engine/program.h"
#include "host/audioeffectx.h"

namespace zynka {

/// One voice: a carrier driven by a sine modulator, shaped by two envelopes.
struct Voice {
  double ampTarget = 0;   // amplitude envelope target; multiplied by ampFactor every sample
  double modOscCoef = 0;  // 2 cos(theta) of the modulator recurrence
  double modOscY1 = 0;    // latest modulator output
  double modOscY2 = 0;    // modulator output one sample earlier
  double modLevel = 0;    // current modulation depth, in carrier phase units per sample
  double modTarget = 0;   // level modLevel moves toward
  double modCoef = 0;     // smoothing coefficient of modLevel
  double phase = 0;       // carrier phase in -1..1 (one cycle spans 2)
  double phaseIncrement = 0;
  double ampLevel = 0;    // gain applied to the voice
  double ampCoef = 0;     // smoothing coefficient of ampLevel toward ampTarget
  double ampFactor = 0.99;
  int note = 0;           // MIDI note 0..127, or kSustainNote while the pedal holds the release
};

/// Quantities derived from the current program and the sample rate.
struct Coefficients {
  double basePitch = 0;
  double coarseRatio = 0;
  double fineRatio = 0;
  double modFrequencyFactor = 0;
  double ampAttackCoef = 0;
  double ampDecayFactor = 0;
  double ampReleaseFactor = 0;
  double modInitLevel = 0;
  double modSustainLevel = 0;
  double modDecayCoef = 0;
  double modReleaseCoef = 0;
  double velocitySensitivity = 0;
  double vibratoDepth = 0;
  double vibratoRate = 0;
  double waveShape = 0;
  double thruLevel = 0;
  double outputGain = 0;
};

/// Controller, vibrato and voice state that the audio thread works on.
struct EngineState {
  Coefficients coef;
  double pitchBendFactor = 1.0;
  double wheelDepth = 0;
  double channelVolume = kDefaultChannelVolume;
  int sustainPedal = 0;
  double lfoSine = 1.0;
  double lfoCosine = 0;
  double vibratoOffset = 0;
  int lfoCountdown = 0;
  int activeVoices = 0;
  int eventQueue[kEventQueueSize] = {kEventQueueEnd};
  Voice voices[kNumVoices];
  /// Notes started so far (counting on through resets, wrapping around), and for each voice
  /// the count at which its note started: a format that reports when a note's voice ends
  /// tells from these which note each voice plays.
  unsigned notesStarted = 0;
  unsigned voiceStarts[kNumVoices] = {};
};

class Plugin : public AudioEffectX {
 public:
  /// The plug-in, with the editor `makeEditor` makes (none when null or when it fails).
  explicit Plugin(audioMasterCallback audioMaster, EditorFactory makeEditor = nullptr);
  ~Plugin() override;

  // Processing state and audio.
  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
  VstInt32 processEvents(VstEvents* events) override;

  // Parameters and programs.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  bool canParameterBeAutomated(VstInt32 index) override;
  void setProgram(VstInt32 program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;

  // Identity.
  bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override;
  VstInt32 canDo(char* text) override;

  // The plug-in's own operations.
  /// Silences every voice and returns the engine to its initial state.
  virtual void resetEngine();
  virtual void nextProgram();
  virtual void previousProgram();
  /// Recomputes the derived quantities from the current program and the sample rate.
  virtual void updateCoefficients();
  /// Starts a note (velocity 1 or more) or releases every voice playing it.
  virtual void noteOnOff(int note, int velocity);
  /// Voices still sounding at the end of the last rendered block.
  virtual int getActiveVoiceCount();
  /// Silences voice `index` (0 to 31) at once; it is retired at the end of the block.
  void silenceVoice(int index);

  /// Whether the render loop reads parameter `index` between note events (through the
  /// vibrato, the wave and thru levels of a block, the output gain); the others act only
  /// when a note starts or is released.
  static constexpr bool isReadWhileRendering(int index) {
    return index == kVibRate || index == kVibAmt || index == kWave || index == kThru || index == kVolume;
  }

  /// Writes a program: name and 17 values in record-slot order. Resets nothing.
  void setProgramRecord(int index, const char* name, const float values[kNumParams]);
  /// Program `index` of the bank, or null outside 0..98.
  ProgramRecord* getProgramRecord(int index);
  const EngineState& getEngineState() const { return engine; }
  EditorLink* getEditorLink() { return editorLink; }
  /// Hands the current program's 17 values to the editor's controls (a whole new state was
  /// loaded, which no setParameter call brought).
  void showParametersInEditor();
  /// A file command of the program menu (`menuPosition` kMenuSavePreset to kMenuLoadBank) whose
  /// dialog stayed open after the command's call returned is over: answered, failed or
  /// cancelled. Does what follows the command as when it ends within the call (a load selects
  /// its program, and the controls show the values). On the editor's thread.
  void fileCommandFinished(int menuPosition);

 private:
  /// The editor's commands that arrive as parameters 101 to 105.
  void runCommand(VstInt32 tag, float value);
  /// Command 102: the name field's text becomes the current program's name.
  void renameFromEditor();
  /// Command 105: a file command or a program chosen in the program menu.
  void runMenuChoice(float value);
  /// What follows a file command that ran: a load selects the program it loaded.
  void afterFileCommand(int menuPosition);

  template <typename Sample>
  void renderBlock(Sample** outputs, VstInt32 sampleFrames);
  void renderSegment(double* out, int count, double waveShape, double thruLevel);
  const ProgramRecord& current() const { return programs[curProgram]; }

  ProgramRecord* programs = nullptr;
  EditorLink* editorLink = nullptr;
  EngineState engine;
};

}  // namespace zynka
