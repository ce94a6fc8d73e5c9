#pragma once
// The program's own driver, used when no board library is installed: a
// simulated board until OpenDevice finds a real one, then the real board.
// Every output also goes to the simulation, so the simulator window shows
// what the program puts out whichever board is behind it.

#include "board/simulated_board.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace blokpost {

// A board on the bus as the driver holds it.
class RealBoard : public Board {
public:
    // The tick of the main cycle has ended: outputs changed during it go out now.
    virtual void endOfTick() = 0;
    // The outputs the cycle holds, for a board opened while the cycle runs:
    // it starts from them instead of from zeros, and puts them out at once.
    virtual void seedOutputs(std::uint8_t digital, std::int32_t analog1, std::int32_t analog2) = 0;
    // False once the board has gone (unplugged); it then reads 0 and drops writes.
    virtual bool connected() const = 0;
    virtual int address() const = 0;
    // How long each side has been failing without a break; none while it works.
    // An unproven side (one that has not yet had its chance to answer) counts from when its chance began.
    virtual std::optional<std::chrono::steady_clock::duration> inputsFailingFor() const = 0;
    virtual std::optional<std::chrono::steady_clock::duration> outputsFailingFor() const = 0;
    // Reports of this card keep arriving, counted for the selection or not.
    virtual bool reportsArriving() const = 0;
    // Both sides have answered and neither has failed since.
    virtual bool bothSidesWork() const = 0;
    // A halted endpoint the board would not let be cleared.
    virtual bool haltStuck() const = 0;
    // Sends all outputs again at once, without waiting for the board.
    virtual void retryOutputs() = 0;
};

// A side of the board that fails this long without a break is told to the operator.
inline constexpr std::chrono::seconds kSideFailureToldAfter{3};

// Why "K8055n" found no usable board, per failing side.
inline constexpr const char* kOutputsRefusedProblem =
    "De kaart antwoordt, maar neemt geen uitgangen aan (wissels, seinen en sensorkeuze)";
inline constexpr const char* kInputsSilentProblem =
    "De kaart neemt uitgangen aan, maar stuurt geen ingangen (sensoren)";
inline constexpr const char* kBoardSilentProblem =
    "De kaart zit op de USB, maar antwoordt niet: geen ingangen en geen uitgangen";
// Told to the operator once when an open board starts failing or is lost.
inline constexpr const char* kOutputsRefusedNotice =
    "De kaart neemt geen uitgangen meer aan: wissels, seinen en sensorkeuze bereiken de baan niet";
inline constexpr const char* kInputsSilentNotice =
    "De kaart stuurt geen ingangen meer: alle sensoren lezen uit, treinen die op een sensor wachten blijven staan";
inline constexpr const char* kBoardSilentNotice =
    "De kaart antwoordt niet meer, maar zit nog op de USB: sensoren lezen uit en pinnen worden niet verstuurd; "
    "trek de kaart los, sluit haar weer aan en druk op K8055n";
inline constexpr const char* kNotYetAnsweredProblem =
    "De kaart is open, maar heeft nog niet op alles geantwoord: druk over een ogenblik opnieuw op K8055n";
inline constexpr const char* kBoardTooSlowProblem =
    "De kaart antwoordt, maar te traag: haar ingangen komen pas na de lezing van hun sensorgroep";
inline constexpr const char* kBoardTooSlowNotice =
    "De kaart antwoordt te traag: haar ingangen komen pas na de lezing van hun sensorgroep, dus alle sensoren "
    "lezen uit; probeer een andere USB-poort of een andere kaart";
inline constexpr const char* kHaltStuckNotice =
    "Een eindpunt van de kaart is vastgelopen en de kaart laat het niet vrijgeven; Blokpost probeert het af en toe "
    "opnieuw. Helpt dat niet: trek de kaart los, sluit haar weer aan en druk op K8055n";
inline constexpr const char* kBoardLostNotice =
    "Kaart losgekoppeld: sensoren lezen uit en pinnen worden niet verstuurd; "
    "sluit de kaart weer aan en druk op K8055n";

class DriverBoard : public Board {
public:
    // Finds and opens the board with the given card address; null when none
    // is there, with `problem` saying why when there is more to say.
    using Opener = std::function<std::unique_ptr<RealBoard>(std::int32_t address, std::string& problem)>;
    // A failing mode holds once its side has failed for kSideFailureToldAfter;
    // before that, and until both sides of a newly opened board have
    // answered, the board is Waiting.
    enum class Mode { Simulated, Waiting, RealBoardOpen, InputsSilent, BoardTooSlow, OutputsRefused, BoardSilent, Unplugged };

    explicit DriverBoard(Opener opener = {}) : opener_(std::move(opener)) {}

    // Keeps the board that is open (0 only while both its sides work);
    // otherwise looks for one and, when found, takes it instead of the
    // simulation or of a board that has been unplugged. Never waits for the board.
    std::int32_t OpenDevice(std::int32_t address) override;
    void OutputAllAnalog(std::int32_t value1, std::int32_t value2) override;
    std::int32_t ReadAllDigital() override;
    void SetDigitalChannel(std::int32_t channel) override;
    void ClearAllDigital() override;
    std::int32_t ReadAnalogChannel(std::int32_t channel) override;

    // Called after every tick of the main cycle.
    void endOfTick();
    // What the operator should be told since the last call; empty when nothing.
    // A newly opened board is announced "Kaart gevonden" here once it answers.
    std::string takeNotice() { return std::exchange(notice_, {}); }
    // False while the board OpenDevice opened has not yet answered on both sides.
    bool answered() const override { return !announce_; }

    SimulatedBoard& simulation() { return simulation_; }
    const SimulatedBoard& simulation() const { return simulation_; }
    Mode mode() const;
    bool realBoardOpen() const { return mode() == Mode::RealBoardOpen; }
    RealBoard* realBoard() { return device_.get(); }
    // Why the last OpenDevice found no usable board, when there is more to say than "none".
    const std::string& openProblem() const { return openProblem_; }

private:
    // Tells each failing mode once until the board works again.
    void noteMode();

    Opener opener_;
    SimulatedBoard simulation_;
    std::unique_ptr<RealBoard> device_;
    std::string openProblem_;
    std::string notice_;
    Mode toldMode_ = Mode::RealBoardOpen;
    bool announce_ = false;   // "Kaart gevonden" is still to be said
    bool haltTold_ = false;
};

}  // namespace blokpost
