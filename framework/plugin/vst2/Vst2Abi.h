/* The VST 2.4 binary interface: the records, constants and function types that
 * a host and a plug-in module exchange. Plain C so that either side may use it;
 * the names are the customary ones, at global scope. Every size and offset is
 * checked at compile time for the target being built. Fields are fixed-width or
 * pointer-sized integers only: a C `long` differs between LP64 and LLP64. */
#ifndef VELMORA_VST2_ABI_H
#define VELMORA_VST2_ABI_H
// The binary interface keeps its own names.
// NOLINTBEGIN(readability-identifier-naming)

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define VST_CALL __cdecl
#else
#define VST_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct AEffect AEffect;

typedef intptr_t(VST_CALL* audioMasterCallback)(AEffect* effect, int32_t opcode, int32_t index,
                                                intptr_t value, void* ptr, float opt);
typedef intptr_t(VST_CALL* AEffectDispatcherProc)(AEffect* effect, int32_t opcode, int32_t index,
                                                  intptr_t value, void* ptr, float opt);
typedef void(VST_CALL* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                           int32_t sampleFrames);
typedef void(VST_CALL* AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                                 int32_t sampleFrames);
typedef void(VST_CALL* AEffectSetParameterProc)(AEffect* effect, int32_t index, float parameter);
typedef float(VST_CALL* AEffectGetParameterProc)(AEffect* effect, int32_t index);
/* The exported entry points VSTPluginMain and main. */
typedef AEffect*(VST_CALL* VstPluginEntryProc)(audioMasterCallback host);

/* The effect record the plug-in publishes. */
struct AEffect {
  int32_t magic; /* kEffectMagic */
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process; /* deprecated accumulating entry */
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  int32_t numPrograms;
  int32_t numParams;
  int32_t numInputs;
  int32_t numOutputs;
  int32_t flags;    /* effFlags... */
  intptr_t resvd1;  /* host-owned */
  intptr_t resvd2;  /* host-owned */
  int32_t initialDelay;
  int32_t realQualities;
  int32_t offQualities;
  float ioRatio;
  void* object; /* the plug-in's own pointer */
  void* user;
  int32_t uniqueID;
  int32_t version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

/* The host's transport snapshot, answered to audioMasterGetTime. */
typedef struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  int32_t timeSigNumerator;
  int32_t timeSigDenominator;
  int32_t smpteOffset;
  int32_t smpteFrameRate;
  int32_t samplesToNextClock;
  int32_t flags; /* kVstTransport..., kVst...Valid */
} VstTimeInfo;

/* The generic event; dispatch on type, never trust byteSize. */
typedef struct VstEvent {
  int32_t type;
  int32_t byteSize;
  int32_t deltaFrames;
  int32_t flags;
  char data[16];
} VstEvent;

typedef struct VstMidiEvent {
  int32_t type; /* kVstMidiType */
  int32_t byteSize;
  int32_t deltaFrames;
  int32_t flags; /* kVstMidiEventIsRealtime */
  int32_t noteLength;
  int32_t noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
} VstMidiEvent;

typedef struct VstMidiSysexEvent {
  int32_t type; /* kVstSysExType */
  int32_t byteSize;
  int32_t deltaFrames;
  int32_t flags;
  int32_t dumpBytes;
  intptr_t resvd1;
  char* sysexDump;
  intptr_t resvd2;
} VstMidiSysexEvent;

/* A list of events; really numEvents entries long. */
typedef struct VstEvents {
  int32_t numEvents;
  intptr_t reserved;
  VstEvent* events[2];
} VstEvents;

typedef struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
} ERect;

typedef struct VstPinProperties {
  char label[64];
  int32_t flags; /* kVstPin... */
  int32_t arrangementType;
  char shortLabel[8];
  char future[48];
} VstPinProperties;

typedef struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  int32_t type;
  char future[28];
} VstSpeakerProperties;

typedef struct VstSpeakerArrangement {
  int32_t type; /* kSpeakerArr... */
  int32_t numChannels;
  VstSpeakerProperties speakers[8];
} VstSpeakerArrangement;

typedef struct MidiKeyName {
  int32_t thisProgramIndex;
  int32_t thisKeyNumber;
  char keyName[64];
  int32_t reserved;
  int32_t flags;
} MidiKeyName;

typedef struct VstParameterProperties {
  float stepFloat;
  float smallStepFloat;
  float largeStepFloat;
  char label[64];
  int32_t flags;
  int32_t minInteger;
  int32_t maxInteger;
  int32_t stepInteger;
  int32_t largeStepInteger;
  char shortLabel[8];
  int16_t displayIndex;
  int16_t category; /* from 1; 0 for none */
  int16_t numParametersInCategory;
  int16_t reserved;
  char categoryLabel[24];
  char future[16];
} VstParameterProperties;

enum { kEffectMagic = 0x56737450 /* 'VstP' */ };
enum { kVstVersion = 2400 };

/* Dispatcher opcodes, host to plug-in. */
enum VstPluginOpcode {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effGetVu = 9,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditDraw = 16,
  effEditMouse = 17,
  effEditKey = 18,
  effEditIdle = 19,
  effEditTop = 20,
  effEditSleep = 21,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetNumProgramCategories = 28,
  effGetProgramNameIndexed = 29,
  effCopyProgram = 30,
  effConnectInput = 31,
  effConnectOutput = 32,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effGetCurrentPosition = 36,
  effGetDestinationBuffer = 37,
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effSetBlockSizeAndSampleRate = 43,
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetErrorText = 46,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53,
  effGetIcon = 54,
  effSetViewPosition = 55,
  effGetParameterProperties = 56,
  effKeysRequired = 57,
  effGetVstVersion = 58,
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,
  effShellGetNextPlugin = 70,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetTotalSampleToProcess = 73,
  effSetPanLaw = 74,
  effBeginLoadBank = 75,
  effBeginLoadProgram = 76,
  effSetProcessPrecision = 77,
  effGetNumMidiInputChannels = 78,
  effGetNumMidiOutputChannels = 79
};

/* Host opcodes, plug-in to host (5 is unused). */
enum VstHostOpcode {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterPinConnected = 4,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterSetTime = 9,
  audioMasterTempoAt = 10,
  audioMasterGetNumAutomatableParameters = 11,
  audioMasterGetParameterQuantization = 12,
  audioMasterIOChanged = 13,
  audioMasterNeedIdle = 14,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetPreviousPlug = 20,
  audioMasterGetNextPlug = 21,
  audioMasterWillReplaceOrAccumulate = 22,
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetAutomationState = 24,
  audioMasterOfflineStart = 25,
  audioMasterOfflineRead = 26,
  audioMasterOfflineWrite = 27,
  audioMasterOfflineGetCurrentPass = 28,
  audioMasterOfflineGetCurrentMetaPass = 29,
  audioMasterSetOutputSampleRate = 30,
  audioMasterGetOutputSpeakerArrangement = 31,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterVendorSpecific = 35,
  audioMasterSetIcon = 36,
  audioMasterCanDo = 37,
  audioMasterGetLanguage = 38,
  audioMasterOpenWindow = 39,
  audioMasterCloseWindow = 40,
  audioMasterGetDirectory = 41,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
  audioMasterOpenFileSelector = 45,
  audioMasterCloseFileSelector = 46,
  audioMasterEditFile = 47,
  audioMasterGetChunkFile = 48,
  audioMasterGetInputSpeakerArrangement = 49
};

/* AEffect.flags (1<<1, 1<<2, 1<<3, 1<<10 and 1<<11 are deprecated). */
enum VstEffectFlags {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsCanDoubleReplacing = 1 << 12
};

/* VstTimeInfo.flags, and the request mask of audioMasterGetTime. */
enum VstTimeInfoFlags {
  kVstTransportChanged = 1,
  kVstTransportPlaying = 1 << 1,
  kVstTransportCycleActive = 1 << 2,
  kVstTransportRecording = 1 << 3,
  kVstAutomationWriting = 1 << 6,
  kVstAutomationReading = 1 << 7,
  kVstNanosValid = 1 << 8,
  kVstPpqPosValid = 1 << 9,
  kVstTempoValid = 1 << 10,
  kVstBarsValid = 1 << 11,
  kVstCyclePosValid = 1 << 12,
  kVstTimeSigValid = 1 << 13,
  kVstSmpteValid = 1 << 14,
  kVstClockValid = 1 << 15
};

/* VstEvent.type (2 to 5 are deprecated) and VstMidiEvent.flags. */
enum VstEventType { kVstMidiType = 1, kVstSysExType = 6 };
enum VstMidiEventFlags { kVstMidiEventIsRealtime = 1 };

/* VstPinProperties.flags. */
enum VstPinFlags { kVstPinIsActive = 1, kVstPinIsStereo = 1 << 1, kVstPinUseSpeaker = 1 << 2 };

/* VstParameterProperties.flags. */
enum VstParameterFlags {
  kVstParameterIsSwitch = 1 << 0,
  kVstParameterUsesIntegerMinMax = 1 << 1,
  kVstParameterUsesFloatStep = 1 << 2,
  kVstParameterUsesIntStep = 1 << 3,
  kVstParameterSupportsDisplayIndex = 1 << 4,
  kVstParameterSupportsDisplayCategory = 1 << 5,
  kVstParameterCanRamp = 1 << 6
};

/* VstSpeakerArrangement.type (the ones used here). */
enum VstSpeakerArrangementType {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1
};

/* Answers to effGetPlugCategory. */
enum VstPlugCategory {
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2,
  kPlugCategAnalysis = 3,
  kPlugCategMastering = 4,
  kPlugCategSpacializer = 5,
  kPlugCategRoomFx = 6,
  kPlugCategSurroundFx = 7,
  kPlugCategRestoration = 8,
  kPlugCategOfflineProcess = 9,
  kPlugCategShell = 10,
  kPlugCategGenerator = 11
};

/* Answers to audioMasterGetCurrentProcessLevel. */
enum VstProcessLevel {
  kVstProcessLevelUnknown = 0,
  kVstProcessLevelUser = 1,
  kVstProcessLevelRealtime = 2,
  kVstProcessLevelPrefetch = 3,
  kVstProcessLevelOffline = 4
};

/* Text buffer sizes, terminating NUL included: write no more than these. */
enum VstStringSize {
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 8,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
  kVstMaxEffectNameLen = 32,
  kVstMaxNameLen = 64,
  kVstMaxLabelLen = 64,
  kVstMaxShortLabelLen = 8,
  kVstMaxCategLabelLen = 24,
  kVstMaxFileNameLen = 100
};

#ifdef __cplusplus
} /* extern "C" */
#define VST_ABI_ASSERT(condition) static_assert(condition, #condition)
#else
#define VST_ABI_ASSERT(condition) _Static_assert(condition, #condition)
#endif

/* Pointer-size-dependent layouts: x64 values, else x86 values. */
#if UINTPTR_MAX > 0xFFFFFFFFu
#define VST_ABI_PICK(x64, x86) (x64)
#else
#define VST_ABI_PICK(x64, x86) (x86)
#endif

VST_ABI_ASSERT(sizeof(float) == 4 && sizeof(double) == 8);
VST_ABI_ASSERT(sizeof(void*) == VST_ABI_PICK(8, 4));

VST_ABI_ASSERT(offsetof(AEffect, magic) == 0);
VST_ABI_ASSERT(offsetof(AEffect, dispatcher) == VST_ABI_PICK(8, 4));
VST_ABI_ASSERT(offsetof(AEffect, process) == VST_ABI_PICK(16, 8));
VST_ABI_ASSERT(offsetof(AEffect, setParameter) == VST_ABI_PICK(24, 12));
VST_ABI_ASSERT(offsetof(AEffect, getParameter) == VST_ABI_PICK(32, 16));
VST_ABI_ASSERT(offsetof(AEffect, numPrograms) == VST_ABI_PICK(40, 20));
VST_ABI_ASSERT(offsetof(AEffect, numParams) == VST_ABI_PICK(44, 24));
VST_ABI_ASSERT(offsetof(AEffect, numInputs) == VST_ABI_PICK(48, 28));
VST_ABI_ASSERT(offsetof(AEffect, numOutputs) == VST_ABI_PICK(52, 32));
VST_ABI_ASSERT(offsetof(AEffect, flags) == VST_ABI_PICK(56, 36));
VST_ABI_ASSERT(offsetof(AEffect, resvd1) == VST_ABI_PICK(64, 40));
VST_ABI_ASSERT(offsetof(AEffect, resvd2) == VST_ABI_PICK(72, 44));
VST_ABI_ASSERT(offsetof(AEffect, initialDelay) == VST_ABI_PICK(80, 48));
VST_ABI_ASSERT(offsetof(AEffect, realQualities) == VST_ABI_PICK(84, 52));
VST_ABI_ASSERT(offsetof(AEffect, offQualities) == VST_ABI_PICK(88, 56));
VST_ABI_ASSERT(offsetof(AEffect, ioRatio) == VST_ABI_PICK(92, 60));
VST_ABI_ASSERT(offsetof(AEffect, object) == VST_ABI_PICK(96, 64));
VST_ABI_ASSERT(offsetof(AEffect, user) == VST_ABI_PICK(104, 68));
VST_ABI_ASSERT(offsetof(AEffect, uniqueID) == VST_ABI_PICK(112, 72));
VST_ABI_ASSERT(offsetof(AEffect, version) == VST_ABI_PICK(116, 76));
VST_ABI_ASSERT(offsetof(AEffect, processReplacing) == VST_ABI_PICK(120, 80));
VST_ABI_ASSERT(offsetof(AEffect, processDoubleReplacing) == VST_ABI_PICK(128, 84));
VST_ABI_ASSERT(offsetof(AEffect, future) == VST_ABI_PICK(136, 88));
VST_ABI_ASSERT(sizeof(AEffect) == VST_ABI_PICK(192, 144));

VST_ABI_ASSERT(offsetof(VstTimeInfo, samplePos) == 0);
VST_ABI_ASSERT(offsetof(VstTimeInfo, sampleRate) == 8);
VST_ABI_ASSERT(offsetof(VstTimeInfo, nanoSeconds) == 16);
VST_ABI_ASSERT(offsetof(VstTimeInfo, ppqPos) == 24);
VST_ABI_ASSERT(offsetof(VstTimeInfo, tempo) == 32);
VST_ABI_ASSERT(offsetof(VstTimeInfo, barStartPos) == 40);
VST_ABI_ASSERT(offsetof(VstTimeInfo, cycleStartPos) == 48);
VST_ABI_ASSERT(offsetof(VstTimeInfo, cycleEndPos) == 56);
VST_ABI_ASSERT(offsetof(VstTimeInfo, timeSigNumerator) == 64);
VST_ABI_ASSERT(offsetof(VstTimeInfo, timeSigDenominator) == 68);
VST_ABI_ASSERT(offsetof(VstTimeInfo, smpteOffset) == 72);
VST_ABI_ASSERT(offsetof(VstTimeInfo, smpteFrameRate) == 76);
VST_ABI_ASSERT(offsetof(VstTimeInfo, samplesToNextClock) == 80);
VST_ABI_ASSERT(offsetof(VstTimeInfo, flags) == 84);
VST_ABI_ASSERT(sizeof(VstTimeInfo) == 88);

VST_ABI_ASSERT(offsetof(VstEvent, type) == 0);
VST_ABI_ASSERT(offsetof(VstEvent, byteSize) == 4);
VST_ABI_ASSERT(offsetof(VstEvent, deltaFrames) == 8);
VST_ABI_ASSERT(offsetof(VstEvent, flags) == 12);
VST_ABI_ASSERT(offsetof(VstEvent, data) == 16);
VST_ABI_ASSERT(sizeof(VstEvent) == 32);

VST_ABI_ASSERT(offsetof(VstMidiEvent, type) == 0);
VST_ABI_ASSERT(offsetof(VstMidiEvent, byteSize) == 4);
VST_ABI_ASSERT(offsetof(VstMidiEvent, deltaFrames) == 8);
VST_ABI_ASSERT(offsetof(VstMidiEvent, flags) == 12);
VST_ABI_ASSERT(offsetof(VstMidiEvent, noteLength) == 16);
VST_ABI_ASSERT(offsetof(VstMidiEvent, noteOffset) == 20);
VST_ABI_ASSERT(offsetof(VstMidiEvent, midiData) == 24);
VST_ABI_ASSERT(offsetof(VstMidiEvent, detune) == 28);
VST_ABI_ASSERT(offsetof(VstMidiEvent, noteOffVelocity) == 29);
VST_ABI_ASSERT(offsetof(VstMidiEvent, reserved1) == 30);
VST_ABI_ASSERT(offsetof(VstMidiEvent, reserved2) == 31);
VST_ABI_ASSERT(sizeof(VstMidiEvent) == 32);

VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, type) == 0);
VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, byteSize) == 4);
VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, deltaFrames) == 8);
VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, flags) == 12);
VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, dumpBytes) == 16);
VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, resvd1) == VST_ABI_PICK(24, 20));
VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, sysexDump) == VST_ABI_PICK(32, 24));
VST_ABI_ASSERT(offsetof(VstMidiSysexEvent, resvd2) == VST_ABI_PICK(40, 28));
VST_ABI_ASSERT(sizeof(VstMidiSysexEvent) == VST_ABI_PICK(48, 32));

VST_ABI_ASSERT(offsetof(VstEvents, numEvents) == 0);
VST_ABI_ASSERT(offsetof(VstEvents, reserved) == VST_ABI_PICK(8, 4));
VST_ABI_ASSERT(offsetof(VstEvents, events) == VST_ABI_PICK(16, 8));
VST_ABI_ASSERT(sizeof(VstEvents) == VST_ABI_PICK(32, 16));

VST_ABI_ASSERT(offsetof(ERect, top) == 0);
VST_ABI_ASSERT(offsetof(ERect, left) == 2);
VST_ABI_ASSERT(offsetof(ERect, bottom) == 4);
VST_ABI_ASSERT(offsetof(ERect, right) == 6);
VST_ABI_ASSERT(sizeof(ERect) == 8);

VST_ABI_ASSERT(offsetof(VstPinProperties, label) == 0);
VST_ABI_ASSERT(offsetof(VstPinProperties, flags) == 64);
VST_ABI_ASSERT(offsetof(VstPinProperties, arrangementType) == 68);
VST_ABI_ASSERT(offsetof(VstPinProperties, shortLabel) == 72);
VST_ABI_ASSERT(offsetof(VstPinProperties, future) == 80);
VST_ABI_ASSERT(sizeof(VstPinProperties) == 128);

VST_ABI_ASSERT(offsetof(VstSpeakerProperties, azimuth) == 0);
VST_ABI_ASSERT(offsetof(VstSpeakerProperties, elevation) == 4);
VST_ABI_ASSERT(offsetof(VstSpeakerProperties, radius) == 8);
VST_ABI_ASSERT(offsetof(VstSpeakerProperties, reserved) == 12);
VST_ABI_ASSERT(offsetof(VstSpeakerProperties, name) == 16);
VST_ABI_ASSERT(offsetof(VstSpeakerProperties, type) == 80);
VST_ABI_ASSERT(offsetof(VstSpeakerProperties, future) == 84);
VST_ABI_ASSERT(sizeof(VstSpeakerProperties) == 112);

VST_ABI_ASSERT(offsetof(VstSpeakerArrangement, type) == 0);
VST_ABI_ASSERT(offsetof(VstSpeakerArrangement, numChannels) == 4);
VST_ABI_ASSERT(offsetof(VstSpeakerArrangement, speakers) == 8);
VST_ABI_ASSERT(sizeof(VstSpeakerArrangement) == 904);

VST_ABI_ASSERT(offsetof(MidiKeyName, thisProgramIndex) == 0);
VST_ABI_ASSERT(offsetof(MidiKeyName, thisKeyNumber) == 4);
VST_ABI_ASSERT(offsetof(MidiKeyName, keyName) == 8);
VST_ABI_ASSERT(offsetof(MidiKeyName, reserved) == 72);
VST_ABI_ASSERT(offsetof(MidiKeyName, flags) == 76);
VST_ABI_ASSERT(sizeof(MidiKeyName) == 80);

VST_ABI_ASSERT(offsetof(VstParameterProperties, label) == 12);
VST_ABI_ASSERT(offsetof(VstParameterProperties, flags) == 76);
VST_ABI_ASSERT(offsetof(VstParameterProperties, minInteger) == 80);
VST_ABI_ASSERT(offsetof(VstParameterProperties, largeStepInteger) == 92);
VST_ABI_ASSERT(offsetof(VstParameterProperties, shortLabel) == 96);
VST_ABI_ASSERT(offsetof(VstParameterProperties, displayIndex) == 104);
VST_ABI_ASSERT(offsetof(VstParameterProperties, category) == 106);
VST_ABI_ASSERT(offsetof(VstParameterProperties, numParametersInCategory) == 108);
VST_ABI_ASSERT(offsetof(VstParameterProperties, categoryLabel) == 112);
VST_ABI_ASSERT(offsetof(VstParameterProperties, future) == 136);
VST_ABI_ASSERT(sizeof(VstParameterProperties) == 152);

#undef VST_ABI_PICK
#undef VST_ABI_ASSERT

// NOLINTEND(readability-identifier-naming)
#endif /* VELMORA_VST2_ABI_H */
