#pragma once

// Our own description of the VST 3 binary interface: the interfaces, structs,
// identifiers and constants a note effect with an editor needs, on Linux
// x86_64 and Windows x64. Interfaces are abstract classes of pure virtual
// methods in the binary interface's own slot order: no destructor, no data,
// no overloads. The names are the interface's own, kept in a namespace of
// their own (its IPluginBase is not ours).

#include <cstddef>
#include <cstdint>

// NOLINTBEGIN: the binary interface keeps its own names.

#if defined(_WIN32)
#define VST3_API __stdcall
#define VST3_COM_IDS 1
#else
#define VST3_API
#define VST3_COM_IDS 0
#endif

namespace velmora::vst3 {

using int8 = char;
using uint8 = std::uint8_t;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;
using tresult = int32;
using TBool = uint8;
using char8 = char;
using char16 = char16_t;
using TChar = char16_t;
using String128 = TChar[128];
using CString = const char8*;
using FIDString = const char8*;
using TUID = char[16];
using ParamID = uint32;
using ParamValue = double;
using UnitID = int32;
using ProgramListID = int32;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using KnobMode = int32;
using CtrlNumber = int16;
using Sample32 = float;
using Sample64 = double;
using SampleRate = double;
using TSamples = int64;
using TQuarterNotes = double;
using SpeakerArrangement = uint64;
using AttrID = const char*;

// Result codes: COM's on Windows, small numbers elsewhere.
#if VST3_COM_IDS
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002L);
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057L);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001L);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005L);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFL);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000EL);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif

// An interface or class id as its 16 bytes lie in memory. Written as four
// 32-bit words; Windows lays them out as a GUID, other systems big-endian.
struct Uid {
  char bytes[16];
};

constexpr Uid MakeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
  Uid uid{};
  auto put = [&uid](int at, uint32 word, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
      const int shift = bigEndian ? 24 - 8 * i : 8 * i;
      uid.bytes[at + i] = static_cast<char>((word >> shift) & 0xFF);
    }
  };
#if VST3_COM_IDS
  put(0, l1, false);
  uid.bytes[4] = static_cast<char>((l2 >> 16) & 0xFF);
  uid.bytes[5] = static_cast<char>((l2 >> 24) & 0xFF);
  uid.bytes[6] = static_cast<char>(l2 & 0xFF);
  uid.bytes[7] = static_cast<char>((l2 >> 8) & 0xFF);
#else
  put(0, l1, true);
  put(4, l2, true);
#endif
  put(8, l3, true);
  put(12, l4, true);
  return uid;
}

// ---------------------------------------------------------------- base

class FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
  virtual tresult VST3_API queryInterface(const TUID iid, void** obj) = 0;
  virtual uint32 VST3_API addRef() = 0;
  virtual uint32 VST3_API release() = 0;
};

class IPluginBase : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
  virtual tresult VST3_API initialize(FUnknown* context) = 0;
  virtual tresult VST3_API terminate() = 0;
};

// ---------------------------------------------------------------- factory

struct PFactoryInfo {
  enum FactoryFlags : int32 {
    kNoFlags = 0,
    kClassesDiscardable = 1 << 0,
    kLicenseCheck = 1 << 1,
    kComponentNonDiscardable = 1 << 3,
    kUnicode = 1 << 4
  };
  char8 vendor[64];
  char8 url[256];
  char8 email[128];
  int32 flags;
};

constexpr int32 kManyInstances = 0x7FFFFFFF;
constexpr const char* kVstAudioEffectClass = "Audio Module Class";
constexpr const char* kVstComponentControllerClass = "Component Controller Class";

struct PClassInfo {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char8 name[64];
};

enum ComponentFlags : uint32 { kDistributable = 1 << 0, kSimpleModeSupported = 1 << 1 };

struct PClassInfo2 {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char8 name[64];
  uint32 classFlags;
  char8 subCategories[128];
  char8 vendor[64];
  char8 version[64];
  char8 sdkVersion[64];
};

struct PClassInfoW {
  TUID cid;
  int32 cardinality;
  char8 category[32];
  char16 name[64];
  uint32 classFlags;
  char8 subCategories[128];
  char16 vendor[64];
  char16 version[64];
  char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
  virtual tresult VST3_API getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 VST3_API countClasses() = 0;
  virtual tresult VST3_API getClassInfo(int32 index, PClassInfo* info) = 0;
  virtual tresult VST3_API createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
 public:
  static constexpr Uid kIid = MakeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
  virtual tresult VST3_API getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
 public:
  static constexpr Uid kIid = MakeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
  virtual tresult VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  virtual tresult VST3_API setHostContext(FUnknown* context) = 0;
};

// ---------------------------------------------------------------- streams

class IBStream : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
  enum IStreamSeekMode : int32 { kIBSeekSet = 0, kIBSeekCur, kIBSeekEnd };
  virtual tresult VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  virtual tresult VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  virtual tresult VST3_API seek(int64 pos, int32 mode, int64* result) = 0;
  virtual tresult VST3_API tell(int64* pos) = 0;
};

// ---------------------------------------------------------------- host context

class IAttributeList : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x1E5F0AEB, 0xCC7F4533, 0xA2544011, 0x38AD5EE4);
  virtual tresult VST3_API setInt(AttrID id, int64 value) = 0;
  virtual tresult VST3_API getInt(AttrID id, int64& value) = 0;
  virtual tresult VST3_API setFloat(AttrID id, double value) = 0;
  virtual tresult VST3_API getFloat(AttrID id, double& value) = 0;
  virtual tresult VST3_API setString(AttrID id, const TChar* string) = 0;
  virtual tresult VST3_API getString(AttrID id, TChar* string, uint32 sizeInBytes) = 0;
  virtual tresult VST3_API setBinary(AttrID id, const void* data, uint32 sizeInBytes) = 0;
  virtual tresult VST3_API getBinary(AttrID id, const void*& data, uint32& sizeInBytes) = 0;
};

class IMessage : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613);
  virtual FIDString VST3_API getMessageID() = 0;
  virtual void VST3_API setMessageID(FIDString id) = 0;
  virtual IAttributeList* VST3_API getAttributes() = 0;
};

class IConnectionPoint : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);
  virtual tresult VST3_API connect(IConnectionPoint* other) = 0;
  virtual tresult VST3_API disconnect(IConnectionPoint* other) = 0;
  virtual tresult VST3_API notify(IMessage* message) = 0;
};

class IHostApplication : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);
  virtual tresult VST3_API getName(String128 name) = 0;
  virtual tresult VST3_API createInstance(TUID cid, TUID iid, void** obj) = 0;
};

class IPlugInterfaceSupport : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x4FB58B9E, 0x9EAA4E0F, 0xAB361C1C, 0xCCB56FEA);
  virtual tresult VST3_API isPlugInterfaceSupported(const TUID iid) = 0;
};

// ---------------------------------------------------------------- component

enum MediaTypes : int32 { kAudio = 0, kEvent, kNumMediaTypes };
enum BusDirections : int32 { kInput = 0, kOutput };
enum BusTypes : int32 { kMain = 0, kAux };
enum IoModes : int32 { kSimple = 0, kAdvanced, kOfflineProcessing };

struct BusInfo {
  enum BusFlags : uint32 { kDefaultActive = 1 << 0, kIsControlVoltage = 1 << 1 };
  MediaType mediaType;
  BusDirection direction;
  int32 channelCount;
  String128 name;
  BusType busType;
  uint32 flags;
};

struct RoutingInfo {
  MediaType mediaType;
  int32 busIndex;
  int32 channel;
};

class IComponent : public IPluginBase {
 public:
  static constexpr Uid kIid = MakeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
  virtual tresult VST3_API getControllerClassId(TUID classId) = 0;
  virtual tresult VST3_API setIoMode(IoMode mode) = 0;
  virtual int32 VST3_API getBusCount(MediaType type, BusDirection dir) = 0;
  virtual tresult VST3_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
  virtual tresult VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
  virtual tresult VST3_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
  virtual tresult VST3_API setActive(TBool state) = 0;
  virtual tresult VST3_API setState(IBStream* state) = 0;
  virtual tresult VST3_API getState(IBStream* state) = 0;
};

// ---------------------------------------------------------------- processing

enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch, kOffline };
constexpr uint32 kNoTail = 0;

namespace SpeakerArr {
constexpr SpeakerArrangement kEmpty = 0;
constexpr SpeakerArrangement kMono = 1 << 19;
constexpr SpeakerArrangement kStereo = 0x3;
}  // namespace SpeakerArr

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  SampleRate sampleRate;
};

struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags;
  union {
    Sample32** channelBuffers32;
    Sample64** channelBuffers64;
  };
};

struct FrameRate {
  uint32 framesPerSecond;
  uint32 flags;
};

struct Chord {
  uint8 keyNote;
  uint8 rootNote;
  int16 chordMask;
};

struct ProcessContext {
  enum StatesAndFlags : uint32 {
    kPlaying = 1 << 1,
    kCycleActive = 1 << 2,
    kRecording = 1 << 3,
    kSystemTimeValid = 1 << 8,
    kProjectTimeMusicValid = 1 << 9,
    kTempoValid = 1 << 10,
    kBarPositionValid = 1 << 11,
    kCycleValid = 1 << 12,
    kTimeSigValid = 1 << 13,
    kSmpteValid = 1 << 14,
    kClockValid = 1 << 15,
    kContTimeValid = 1 << 17,
    kChordValid = 1 << 18
  };
  uint32 state;
  double sampleRate;
  TSamples projectTimeSamples;
  int64 systemTime;
  TSamples continousTimeSamples;
  TQuarterNotes projectTimeMusic;
  TQuarterNotes barPositionMusic;
  TQuarterNotes cycleStartMusic;
  TQuarterNotes cycleEndMusic;
  double tempo;
  int32 timeSigNumerator;
  int32 timeSigDenominator;
  Chord chord;
  int32 smpteOffsetSubframes;
  FrameRate frameRate;
  int32 samplesToNextClock;
};

struct NoteOnEvent {
  int16 channel;
  int16 pitch;
  float tuning;
  float velocity;
  int32 length;
  int32 noteId;
};

struct NoteOffEvent {
  int16 channel;
  int16 pitch;
  float velocity;
  int32 noteId;
  float tuning;
};

struct DataEvent {
  enum DataTypes : uint32 { kMidiSysEx = 0 };
  uint32 size;
  uint32 type;
  const uint8* bytes;
};

struct PolyPressureEvent {
  int16 channel;
  int16 pitch;
  float pressure;
  int32 noteId;
};

struct NoteExpressionValueEvent {
  uint32 typeId;
  int32 noteId;
  double value;
};

struct NoteExpressionTextEvent {
  uint32 typeId;
  int32 noteId;
  uint32 textLen;
  const TChar* text;
};

struct ChordEvent {
  int16 root;
  int16 bassNote;
  int16 mask;
  uint16 textLen;
  const TChar* text;
};

struct ScaleEvent {
  int16 root;
  int16 mask;
  uint16 textLen;
  const TChar* text;
};

struct LegacyMIDICCOutEvent {
  uint8 controlNumber;
  int8 channel;
  int8 value;
  int8 value2;
};

struct Event {
  enum EventFlags : uint16 { kIsLive = 1 << 0, kUserReserved1 = 1 << 14, kUserReserved2 = 1 << 15 };
  enum EventTypes : uint16 {
    kNoteOnEvent = 0,
    kNoteOffEvent = 1,
    kDataEvent = 2,
    kPolyPressureEvent = 3,
    kNoteExpressionValueEvent = 4,
    kNoteExpressionTextEvent = 5,
    kChordEvent = 6,
    kScaleEvent = 7,
    kLegacyMIDICCOutEvent = 65535
  };
  int32 busIndex;
  int32 sampleOffset;
  TQuarterNotes ppqPosition;
  uint16 flags;
  uint16 type;
  union {
    NoteOnEvent noteOn;
    NoteOffEvent noteOff;
    DataEvent data;
    PolyPressureEvent polyPressure;
    NoteExpressionValueEvent noteExpressionValue;
    NoteExpressionTextEvent noteExpressionText;
    ChordEvent chord;
    ScaleEvent scale;
    LegacyMIDICCOutEvent midiCCOut;
  };
};

class IEventList : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);
  virtual int32 VST3_API getEventCount() = 0;
  virtual tresult VST3_API getEvent(int32 index, Event& e) = 0;
  virtual tresult VST3_API addEvent(Event& e) = 0;
};

class IParamValueQueue : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
  virtual ParamID VST3_API getParameterId() = 0;
  virtual int32 VST3_API getPointCount() = 0;
  virtual tresult VST3_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
  virtual tresult VST3_API addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
};

class IParameterChanges : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
  virtual int32 VST3_API getParameterCount() = 0;
  virtual IParamValueQueue* VST3_API getParameterData(int32 index) = 0;
  virtual IParamValueQueue* VST3_API addParameterData(const ParamID& id, int32& index) = 0;
};

struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
  virtual tresult VST3_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                              int32 numOuts) = 0;
  virtual tresult VST3_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
  virtual tresult VST3_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 VST3_API getLatencySamples() = 0;
  virtual tresult VST3_API setupProcessing(ProcessSetup& setup) = 0;
  virtual tresult VST3_API setProcessing(TBool state) = 0;
  virtual tresult VST3_API process(ProcessData& data) = 0;
  virtual uint32 VST3_API getTailSamples() = 0;
};

class IProcessContextRequirements : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
  enum Flags : uint32 {
    kNeedSystemTime = 1 << 0,
    kNeedContinousTimeSamples = 1 << 1,
    kNeedProjectTimeMusic = 1 << 2,
    kNeedBarPositionMusic = 1 << 3,
    kNeedCycleMusic = 1 << 4,
    kNeedSamplesToNextClock = 1 << 5,
    kNeedTempo = 1 << 6,
    kNeedTimeSignature = 1 << 7,
    kNeedChord = 1 << 8,
    kNeedFrameRate = 1 << 9,
    kNeedTransportState = 1 << 10
  };
  virtual uint32 VST3_API getProcessContextRequirements() = 0;
};

// ---------------------------------------------------------------- controller

struct ParameterInfo {
  enum ParameterFlags : int32 {
    kNoFlags = 0,
    kCanAutomate = 1 << 0,
    kIsReadOnly = 1 << 1,
    kIsWrapAround = 1 << 2,
    kIsList = 1 << 3,
    kIsHidden = 1 << 4,
    kIsProgramChange = 1 << 15,
    kIsBypass = 1 << 16
  };
  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount;
  ParamValue defaultNormalizedValue;
  UnitID unitId;
  int32 flags;
};

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;
constexpr ProgramListID kNoProgramListId = -1;
constexpr int32 kAllProgramInvalid = -1;

enum RestartFlags : int32 {
  kReloadComponent = 1 << 0,
  kIoChanged = 1 << 1,
  kParamValuesChanged = 1 << 2,
  kLatencyChanged = 1 << 3,
  kParamTitlesChanged = 1 << 4,
  kMidiCCAssignmentChanged = 1 << 5,
  kNoteExpressionChanged = 1 << 6,
  kIoTitlesChanged = 1 << 7
};

class IComponentHandler : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
  virtual tresult VST3_API beginEdit(ParamID id) = 0;
  virtual tresult VST3_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
  virtual tresult VST3_API endEdit(ParamID id) = 0;
  virtual tresult VST3_API restartComponent(int32 flags) = 0;
};

class IComponentHandler2 : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC);
  virtual tresult VST3_API setDirty(TBool state) = 0;
  virtual tresult VST3_API requestOpenEditor(FIDString name) = 0;
  virtual tresult VST3_API startGroupEdit() = 0;
  virtual tresult VST3_API finishGroupEdit() = 0;
};

class IPlugView;

class IEditController : public IPluginBase {
 public:
  static constexpr Uid kIid = MakeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
  virtual tresult VST3_API setComponentState(IBStream* state) = 0;
  virtual tresult VST3_API setState(IBStream* state) = 0;
  virtual tresult VST3_API getState(IBStream* state) = 0;
  virtual int32 VST3_API getParameterCount() = 0;
  virtual tresult VST3_API getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
  virtual tresult VST3_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
  virtual tresult VST3_API getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
  virtual ParamValue VST3_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
  virtual ParamValue VST3_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
  virtual ParamValue VST3_API getParamNormalized(ParamID id) = 0;
  virtual tresult VST3_API setParamNormalized(ParamID id, ParamValue value) = 0;
  virtual tresult VST3_API setComponentHandler(IComponentHandler* handler) = 0;
  virtual IPlugView* VST3_API createView(FIDString name) = 0;
};

struct UnitInfo {
  UnitID id;
  UnitID parentUnitId;
  String128 name;
  ProgramListID programListId;
};

struct ProgramListInfo {
  ProgramListID id;
  String128 name;
  int32 programCount;
};

class IUnitInfo : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
  virtual int32 VST3_API getUnitCount() = 0;
  virtual tresult VST3_API getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
  virtual int32 VST3_API getProgramListCount() = 0;
  virtual tresult VST3_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
  virtual tresult VST3_API getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0;
  virtual tresult VST3_API getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                                          String128 attributeValue) = 0;
  virtual tresult VST3_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
  virtual tresult VST3_API getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                               String128 name) = 0;
  virtual UnitID VST3_API getSelectedUnit() = 0;
  virtual tresult VST3_API selectUnit(UnitID unitId) = 0;
  virtual tresult VST3_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                        UnitID& unitId) = 0;
  virtual tresult VST3_API setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;
};

class IUnitHandler : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x4B5147F8, 0x4654486B, 0x8DAB30BA, 0x163A3C56);
  virtual tresult VST3_API notifyUnitSelection(UnitID unitId) = 0;
  virtual tresult VST3_API notifyProgramListChange(ProgramListID listId, int32 programIndex) = 0;
};

// ---------------------------------------------------------------- editor

struct ViewRect {
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;
};

constexpr const char* kPlatformTypeHWND = "HWND";
constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";
constexpr const char* kEditorViewName = "editor";

class IPlugFrame;

class IPlugView : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
  virtual tresult VST3_API isPlatformTypeSupported(FIDString type) = 0;
  virtual tresult VST3_API attached(void* parent, FIDString type) = 0;
  virtual tresult VST3_API removed() = 0;
  virtual tresult VST3_API onWheel(float distance) = 0;
  virtual tresult VST3_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult VST3_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult VST3_API getSize(ViewRect* size) = 0;
  virtual tresult VST3_API onSize(ViewRect* newSize) = 0;
  virtual tresult VST3_API onFocus(TBool state) = 0;
  virtual tresult VST3_API setFrame(IPlugFrame* frame) = 0;
  virtual tresult VST3_API canResize() = 0;
  virtual tresult VST3_API checkSizeConstraint(ViewRect* rect) = 0;
};

class IPlugFrame : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
  virtual tresult VST3_API resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

class IPlugViewContentScaleSupport : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
  using ScaleFactor = float;
  virtual tresult VST3_API setContentScaleFactor(ScaleFactor factor) = 0;
};

// The host's run loop on Linux: timers and descriptors on its UI thread.
namespace linux_loop {

using TimerInterval = uint64;
using FileDescriptor = int;

class IEventHandler : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
  virtual void VST3_API onFDIsSet(FileDescriptor fd) = 0;
};

class ITimerHandler : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
  virtual void VST3_API onTimer() = 0;
};

class IRunLoop : public FUnknown {
 public:
  static constexpr Uid kIid = MakeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
  virtual tresult VST3_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
  virtual tresult VST3_API unregisterEventHandler(IEventHandler* handler) = 0;
  virtual tresult VST3_API registerTimer(ITimerHandler* handler, TimerInterval milliseconds) = 0;
  virtual tresult VST3_API unregisterTimer(ITimerHandler* handler) = 0;
};

}  // namespace linux_loop

// ---------------------------------------------------------------- layout checks
// The sizes and offsets the interface fixes, the same on both targets.

static_assert(sizeof(Uid) == 16);
static_assert(sizeof(PFactoryInfo) == 452 && offsetof(PFactoryInfo, flags) == 448);
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, name) == 52);
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, classFlags) == 116 &&
              offsetof(PClassInfo2, subCategories) == 120 && offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, classFlags) == 180 &&
              offsetof(PClassInfoW, vendor) == 312 && offsetof(PClassInfoW, sdkVersion) == 568);
static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268);
static_assert(sizeof(RoutingInfo) == 12);
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
              offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, inputs) == 24 &&
              offsetof(ProcessData, inputParameterChanges) == 40 && offsetof(ProcessData, inputEvents) == 56 &&
              offsetof(ProcessData, processContext) == 72);
static_assert(sizeof(FrameRate) == 8 && sizeof(Chord) == 4 && alignof(Chord) == 2);
static_assert(sizeof(ProcessContext) == 112 && offsetof(ProcessContext, sampleRate) == 8 &&
              offsetof(ProcessContext, projectTimeSamples) == 16 && offsetof(ProcessContext, projectTimeMusic) == 40 &&
              offsetof(ProcessContext, barPositionMusic) == 48 && offsetof(ProcessContext, cycleStartMusic) == 56 &&
              offsetof(ProcessContext, tempo) == 72 && offsetof(ProcessContext, timeSigNumerator) == 80 &&
              offsetof(ProcessContext, chord) == 88 && offsetof(ProcessContext, frameRate) == 96 &&
              offsetof(ProcessContext, samplesToNextClock) == 104);
static_assert(sizeof(NoteOnEvent) == 20 && offsetof(NoteOnEvent, velocity) == 8 && offsetof(NoteOnEvent, noteId) == 16);
static_assert(sizeof(NoteOffEvent) == 16 && offsetof(NoteOffEvent, velocity) == 4 &&
              offsetof(NoteOffEvent, noteId) == 8 && offsetof(NoteOffEvent, tuning) == 12);
static_assert(sizeof(DataEvent) == 16 && sizeof(PolyPressureEvent) == 12 && sizeof(ChordEvent) == 16 &&
              sizeof(ScaleEvent) == 16 && sizeof(NoteExpressionValueEvent) == 16 &&
              sizeof(NoteExpressionTextEvent) == 24 && sizeof(LegacyMIDICCOutEvent) == 4);
static_assert(sizeof(Event) == 48 && offsetof(Event, sampleOffset) == 4 && offsetof(Event, ppqPosition) == 8 &&
              offsetof(Event, flags) == 16 && offsetof(Event, type) == 18 && offsetof(Event, noteOn) == 24);
static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, title) == 4 &&
              offsetof(ParameterInfo, shortTitle) == 260 && offsetof(ParameterInfo, units) == 516 &&
              offsetof(ParameterInfo, stepCount) == 772 && offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
              offsetof(ParameterInfo, unitId) == 784 && offsetof(ParameterInfo, flags) == 788);
static_assert(sizeof(UnitInfo) == 268 && offsetof(UnitInfo, programListId) == 264);
static_assert(sizeof(ProgramListInfo) == 264 && offsetof(ProgramListInfo, programCount) == 260);
static_assert(sizeof(ViewRect) == 16);
static_assert(sizeof(String128) == 256 && sizeof(char16) == 2 && sizeof(TBool) == 1);
// Interfaces are a vtable pointer and nothing else.
static_assert(sizeof(IComponent) == sizeof(void*) && sizeof(IEditController) == sizeof(void*));

// The ids in each platform's byte order, as the interface publishes them.
#if VST3_COM_IDS
static_assert(IComponent::kIid.bytes[0] == 0x31 && IComponent::kIid.bytes[3] == static_cast<char>(0xE8) &&
              IComponent::kIid.bytes[4] == static_cast<char>(0xD5) && IComponent::kIid.bytes[7] == 0x43 &&
              IComponent::kIid.bytes[8] == static_cast<char>(0x92));
#else
static_assert(IComponent::kIid.bytes[0] == static_cast<char>(0xE8) && IComponent::kIid.bytes[4] == static_cast<char>(0xF2) &&
              IComponent::kIid.bytes[7] == 0x01 && IComponent::kIid.bytes[15] == 0x02);
#endif

}  // namespace velmora::vst3

// NOLINTEND
