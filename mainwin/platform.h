// The small interfaces through which the windows reach the desktop, so that
// tests can answer them without a person.
#pragma once

namespace suusiki {

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// The system beep.
class SystemBeeper : public Beeper {
 public:
  void Beep() override;
};

}  // namespace suusiki
