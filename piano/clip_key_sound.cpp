// Until the clips are carried in the program, keys stay silent.
#include "piano/clip_key_sound.h"

namespace zv {
namespace {

class SilentKeySound final : public IKeySound {
 public:
  void Play(const PianoKey&) override {}
};

}  // namespace

std::unique_ptr<IKeySound> MakeKeySound() { return std::make_unique<SilentKeySound>(); }

}  // namespace zv
