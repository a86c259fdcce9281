#pragma once
// A quantity that wanders slowly and randomly around zero (an
// Ornstein-Uhlenbeck process): advancing it by dt seconds keeps the same
// statistics however often it is sampled, so trends look alike whether the
// program polls twenty times a second or once a minute.

#include <cmath>
#include <random>

namespace sim {

class SlowWander {
public:
    SlowWander(double standardDeviation, double timeConstantSeconds, double limit)
        : sd_(standardDeviation), tau_(timeConstantSeconds), limit_(limit) {}

    template <class Rng>
    double advance(double dtSeconds, Rng& rng)
    {
        if (dtSeconds > 0) {
            const double keep = std::exp(-dtSeconds / tau_);
            std::normal_distribution<double> normal(0.0, 1.0);
            value_ = value_ * keep + sd_ * std::sqrt(1.0 - keep * keep) * normal(rng);
            if (value_ > limit_)
                value_ = limit_;
            if (value_ < -limit_)
                value_ = -limit_;
        }
        return value_;
    }

    double value() const { return value_; }

private:
    double sd_, tau_, limit_;
    double value_ = 0;
};

} // namespace sim
