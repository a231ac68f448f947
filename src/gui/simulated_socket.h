#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace merlinox::sim {
class SimBoard;
class SimulatedChip;
}  // namespace merlinox::sim

namespace merlinox::gui {

// The chip in the simulated board's socket while the window runs. It follows the
// device the user selects, as a user puts that chip into the socket: the chip kept in
// the state file when it is of that part, a blank one otherwise. A chip that leaves
// the socket, and the one in it when the program ends, is kept in the state file, which
// the command line shares, so that both see the same chip.
class SimulatedSocket {
public:
    // fixedPart: a part name that stays in the socket whatever device is selected
    // (to see a signature check refuse it); empty to follow the selection.
    SimulatedSocket(sim::SimBoard& board, std::string statePath, std::string fixedPart);
    ~SimulatedSocket();
    SimulatedSocket(const SimulatedSocket&) = delete;
    SimulatedSocket& operator=(const SimulatedSocket&) = delete;

    void Follow(std::uint32_t deviceCode);
    void Save();

    const sim::SimulatedChip* Chip() const { return chip_.get(); }
    const std::string& StatePath() const { return statePath_; }

private:
    void Insert(std::unique_ptr<sim::SimulatedChip> chip);

    sim::SimBoard& board_;
    std::string statePath_;
    std::string fixedPart_;
    std::unique_ptr<sim::SimulatedChip> chip_;
};

}  // namespace merlinox::gui
