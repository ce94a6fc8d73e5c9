#pragma once
// The K8055 experiment board as the cycle sees it: six operations, each taking
// and returning 32-bit integers. Only OpenDevice's result is ever looked at,
// with answered() for when to say so.

#include <cstdint>

namespace blokpost {

class Board {
public:
    virtual ~Board() = default;
    virtual std::int32_t OpenDevice(std::int32_t address) = 0;
    virtual void OutputAllAnalog(std::int32_t value1, std::int32_t value2) = 0;
    virtual std::int32_t ReadAllDigital() = 0;
    virtual void SetDigitalChannel(std::int32_t channel) = 0;
    virtual void ClearAllDigital() = 0;
    virtual std::int32_t ReadAnalogChannel(std::int32_t channel) = 0;
    // False while the board OpenDevice just opened has not yet answered; its
    // driver then says "Kaart gevonden" itself once it has.
    virtual bool answered() const { return true; }
};

}  // namespace blokpost
