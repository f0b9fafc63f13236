// Chord auditions: voicings turned into queued note-ons and note-offs.
#include "core/Velmora.h"

namespace velmora {

void Velmora::StartChord(const ChordNotes& notes, int octave, int inversion, int velocity) {
  auto lock = Lock();
  StartVoicing(VoiceChord(notes, octave, inversion), velocity);
  RequestProcessing();
}

void Velmora::StartVoicing(const Voicing& voicing, int velocity) {
  if (!mAuditions.Accept(voicing)) return;
  BeginTakeIfArmed();
  mAuditions.QueueNoteOns(voicing, velocity);
}

void Velmora::StopChord(const ChordNotes& notes, int octave, int inversion) {
  auto lock = Lock();
  mAuditions.Release(VoiceChord(notes, octave, inversion));
  RequestProcessing();
}

void Velmora::BeginTakeIfArmed() {
  // The transport may have started since the last block (an editor press).
  if (!mHostTime.transportIsRunning) ReadHostTime(&mHostTime);
  if (!mRecorder.BeginTakeIfArmed(mHostTime.transportIsRunning)) return;
  if (mViews.dragButton != nullptr && mViews.dragButton->IsHidden()) mViews.dragButton->SetHidden(false);
}

}  // namespace velmora
