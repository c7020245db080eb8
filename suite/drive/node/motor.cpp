#include "motor.h"

#include "parameters.h"

#include <cmath>

namespace rux::drive {

namespace {

double Scaled(const CParameterDb& db, int menu, int param) {
    const CParameter* p = db.Find(menu, param);
    return p == nullptr ? 0.0 : p->value / std::pow(10.0, p->decimals);
}

int32_t Raw(const CParameterDb& db, int menu, int param, double v) {
    const CParameter* p = db.Find(menu, param);
    const double r = std::round(v * std::pow(10.0, p == nullptr ? 0 : p->decimals));
    return r > INT32_MAX ? INT32_MAX : r < INT32_MIN ? INT32_MIN : static_cast<int32_t>(r);
}

} // namespace

void CMotorModel::Advance(CParameterDb& params, uint32_t ms) {
    const double reference = Scaled(params, 1, 21);
    const bool towardsZero = std::abs(reference) < std::abs(m_speed) || reference * m_speed < 0;
    // A ramp of 0 ms per 1000 rpm is a step change.
    const double rampMs = towardsZero ? Scaled(params, 2, 21) : Scaled(params, 2, 11);
    const double maxStep = rampMs <= 0.0 ? 1e300 : 1000.0 * ms / rampMs;
    const double diff = reference - m_speed;
    m_speed = std::abs(diff) <= maxStep ? reference : m_speed + (diff > 0 ? maxStep : -maxStep);

    params.Set(3, 2, Raw(params, 3, 2, m_speed));
    params.Set(10, 2, m_speed != 0.0 ? 1 : 0);                          // running
    params.Set(10, 3, std::abs(reference - m_speed) < 0.5 ? 1 : 0);     // at speed
    params.Set(10, 4, std::abs(m_speed) < 1.0 ? 1 : 0);                 // at zero speed
}

} // namespace rux::drive
