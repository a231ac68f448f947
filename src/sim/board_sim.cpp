#include "sim/board_sim.h"

namespace merlinox::sim {

namespace {

bool SameDrive(const SocketDrive& a, const SocketDrive& b) {
    return a.vccMillivolts == b.vccMillivolts && a.resetMillivolts == b.resetMillivolts &&
           a.dataLines == b.dataLines && a.xa1 == b.xa1 && a.xa0 == b.xa0 && a.bs == b.bs &&
           a.wr == b.wr && a.oe == b.oe && a.xtal1 == b.xtal1;
}

}  // namespace

void SimBoard::WriteData(std::uint8_t value) {
    now_ += kAccessNs;
    dataRegister_ = value;
}

void SimBoard::WriteControl(std::uint8_t value) {
    now_ += kAccessNs;
    if (Absent()) return;
    const std::uint8_t ready = Wiring().ready;
    if ((value & Wiring().strobe) == 0) {
        // A board that dies goes after its last acknowledged transfer has been read.
        if (faults_.dieAfter != 0 && acknowledged_ >= faults_.dieAfter) {
            dead_ = true;
            return;
        }
        transferStart_ = now_ - 2 * kAccessNs;  // the data write came just before
        ackPollsLeft_ = 0;                      // a new transfer gives up a pending one
        if (!faults_.neverReady) status_ |= ready;
        return;
    }
    // The command travels in the same control write as the strobe.
    if (++strobes_ == faults_.missAck) {
        status_ |= ready;  // the strobe went unheard: still ready, never acknowledged
        return;
    }
    const auto command = static_cast<std::uint8_t>(value & 0x0E);
    latches_.Store(command, dataRegister_);
    if (record_ != nullptr) record_->push_back({now_, command, dataRegister_});
    UpdateSocket();
    Acknowledge(command);
    if (command == Wiring().signalLatch && (dataRegister_ & Wiring().delay) != 0) {
        // The board lets the delay run out before it acknowledges; the PC's last status
        // read completes the transfer.
        const SimTime done = transferStart_ + kDelayTransferNs - kAccessNs;
        if (done > now_) now_ = done;
    }
}

std::uint8_t SimBoard::ReadStatus() {
    now_ += kAccessNs;
    if (Absent()) return kAbsentStatus;
    if (ackPollsLeft_ != 0 && --ackPollsLeft_ == 0) {
        ++acknowledged_;
        status_ &= static_cast<std::uint8_t>(~Wiring().ready);
    }
    return status_;
}

void SimBoard::Acknowledge(std::uint8_t command) {
    const std::uint8_t ready = Wiring().ready;
    const std::uint8_t lines = ReadBackLines();
    const auto nibble =
        static_cast<std::uint8_t>(command == Wiring().powerLatch ? lines >> 4 : lines & 0x0F);
    status_ = static_cast<std::uint8_t>((status_ & ready) | NibbleToStatus(nibble));
    if (faults_.neverAcknowledges) {
        status_ |= ready;
        return;
    }
    if (faults_.slowAckPolls != 0) {
        // Still busy: the acknowledge shows on the slowAckPolls-th status read from now.
        status_ |= ready;
        ackPollsLeft_ = faults_.slowAckPolls;
        return;
    }
    ++acknowledged_;
    status_ &= static_cast<std::uint8_t>(~ready);
}

std::uint8_t SimBoard::NibbleToStatus(std::uint8_t nibble) const {
    std::uint8_t status = 0;
    for (int line = 0; line < 4; ++line) {
        if ((nibble >> line) & 1) status |= Wiring().statusOfLine[line];
    }
    return status;
}

std::uint8_t SimBoard::ReadBackLines() {
    std::uint8_t lines = latches_.Latch(Wiring().dataLatch);
    if (chip_ != nullptr) {
        const SocketSense sense = chip_->Sense(now_);
        lines &= static_cast<std::uint8_t>(sense.value | ~sense.mask);
    }
    if (faults_.stuckBit >= 0) {
        const auto bit = static_cast<std::uint8_t>(1u << faults_.stuckBit);
        lines = faults_.stuckLevel ? lines | bit : lines & static_cast<std::uint8_t>(~bit);
    }
    return lines;
}

void SimBoard::Insert(SocketChip* chip) {
    chip_ = chip;
    if (chip_ != nullptr) chip_->OnDrive(drive_, now_);
}

void SimBoard::UpdateSocket() {
    const SocketDrive drive = latches_.Drive();
    if (SameDrive(drive, drive_)) return;
    drive_ = drive;
    if (chip_ != nullptr) chip_->OnDrive(drive_, now_);
}

}  // namespace merlinox::sim
