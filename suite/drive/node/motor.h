// A small motor model: the speed feedback #3.02 follows the speed reference #1.21 along the
// acceleration ramp #2.11 and the deceleration ramp #2.21 (ms per 1000 rpm).
#ifndef RUX_DRIVE_MOTOR_H
#define RUX_DRIVE_MOTOR_H

#include <cstdint>

namespace rux::drive {

class CParameterDb;

class CMotorModel {
public:
    // Advances the model by ms milliseconds and writes the drive's status parameters.
    void Advance(CParameterDb& params, uint32_t ms);
    void Reset() { m_speed = 0.0; }
    double Speed() const { return m_speed; }  // rpm
    void SetSpeed(double rpm) { m_speed = rpm; }

private:
    double m_speed = 0.0;
};

} // namespace rux::drive

#endif
