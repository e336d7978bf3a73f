// Opcodes of the VST 2.x dispatcher (host to plug-in) and of the host callback
// (plug-in to host).
#pragma once

#include "host/aeffect.h"

/// Host-to-plug-in opcodes, sent through AEffect::dispatcher.
enum EffectOpcode : VstInt32 {
  effOpen = 0,
  effClose,
  effSetProgram,
  effGetProgram,
  effSetProgramName,
  effGetProgramName,
  effGetParamLabel,
  effGetParamDisplay,
  effGetParamName,
  effGetVu,  // legacy
  effSetSampleRate,
  effSetBlockSize,
  effMainsChanged,
  effEditGetRect,
  effEditOpen,
  effEditClose,
  effEditDraw,   // legacy
  effEditMouse,  // legacy
  effEditKey,    // legacy
  effEditIdle,
  effEditTop,    // legacy
  effEditSleep,  // legacy
  effIdentify,   // legacy
  effGetChunk,
  effSetChunk,
  effProcessEvents,  // 25: the first opcode of the extended set
  effCanBeAutomated,
  effString2Parameter,
  effGetNumProgramCategories,  // legacy
  effGetProgramNameIndexed,
  effCopyProgram,     // legacy
  effConnectInput,    // legacy
  effConnectOutput,   // legacy
  effGetInputProperties,
  effGetOutputProperties,
  effGetPlugCategory,
  effGetCurrentPosition,     // legacy
  effGetDestinationBuffer,   // legacy
  effOfflineNotify,
  effOfflinePrepare,
  effOfflineRun,
  effProcessVarIo,
  effSetSpeakerArrangement,
  effSetBlockSizeAndSampleRate,  // legacy
  effSetBypass,
  effGetEffectName,
  effGetErrorText,  // legacy
  effGetVendorString,
  effGetProductString,
  effGetVendorVersion,
  effVendorSpecific,
  effCanDo,
  effGetTailSize,
  effIdle,             // legacy
  effGetIcon,          // legacy
  effSetViewPosition,  // legacy
  effGetParameterProperties,
  effKeysRequired,  // legacy
  effGetVstVersion,
  effEditKeyDown,
  effEditKeyUp,
  effSetEditKnobMode,
  effGetMidiProgramName,
  effGetCurrentMidiProgram,
  effGetMidiProgramCategory,
  effHasMidiProgramsChanged,
  effGetMidiKeyName,
  effBeginSetProgram,
  effEndSetProgram,
  effGetSpeakerArrangement,
  effShellGetNextPlugin,
  effStartProcess,
  effStopProcess,
  effSetTotalSampleToProcess,
  effSetPanLaw,
  effBeginLoadBank,
  effBeginLoadProgram,
  effSetProcessPrecision,
  effGetNumMidiInputChannels,
  effGetNumMidiOutputChannels,  // 79: the last opcode
};
static_assert(effProcessEvents == 25 && effGetVstVersion == 58 && effGetNumMidiOutputChannels == 79);

/// Plug-in-to-host opcodes, sent through the host callback.
enum HostOpcode : VstInt32 {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterPinConnected = 4,  // legacy
  audioMasterWantMidi = 6,      // legacy
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterSetTime = 9,                     // legacy
  audioMasterTempoAt = 10,                    // legacy
  audioMasterGetNumAutomatableParameters = 11,  // legacy
  audioMasterGetParameterQuantization = 12,   // legacy
  audioMasterIOChanged = 13,
  audioMasterNeedIdle = 14,  // legacy
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetPreviousPlug = 20,         // legacy
  audioMasterGetNextPlug = 21,             // legacy
  audioMasterWillReplaceOrAccumulate = 22,  // legacy
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetAutomationState = 24,
  audioMasterOfflineStart = 25,
  audioMasterOfflineRead = 26,
  audioMasterOfflineWrite = 27,
  audioMasterOfflineGetCurrentPass = 28,
  audioMasterOfflineGetCurrentMetaPass = 29,
  audioMasterSetOutputSampleRate = 30,          // legacy
  audioMasterGetOutputSpeakerArrangement = 31,  // legacy
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterVendorSpecific = 35,
  audioMasterSetIcon = 36,  // legacy
  audioMasterCanDo = 37,
  audioMasterGetLanguage = 38,
  audioMasterOpenWindow = 39,   // legacy
  audioMasterCloseWindow = 40,  // legacy
  audioMasterGetDirectory = 41,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
  audioMasterOpenFileSelector = 45,
  audioMasterCloseFileSelector = 46,
  audioMasterEditFile = 47,                    // legacy
  audioMasterGetChunkFile = 48,                // legacy
  audioMasterGetInputSpeakerArrangement = 49,  // legacy
};
