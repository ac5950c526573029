#pragma once
// A pseudo-terminal pair for the simulated scale: the scale works the master,
// the program opens the slave device like a serial port.

#include <string>

namespace sim {

class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair, raw on both sides (every byte value passes unchanged:
    // a cooked line would swallow 0x03, 0x11 and 0x13 and turn 0x0D into 0x0A),
    // the master non-blocking. Keeps a descriptor of the slave open so that the
    // program may close and reopen the port without hanging the line up.
    bool open(std::string* error);

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Closes the master: the program's side sees a hang-up, like an unplugged adapter.
    void hangUp();
    void close();

  private:
    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
};

} // namespace sim
