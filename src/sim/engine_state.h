// What the engine and the device's own sensors are doing at one instant, in physical units.
// The simulator builds a frame from this the way the device's A/D converter and timers would.
#pragma once

#include <cstdint>

namespace quelm::sim {

struct EngineState {
    double rpm = 0;
    double mph = 0;
    double mafKgPerHour = 0;  // air flow through the meter
    double tpsVolts = 0;
    double ectF = 0;
    double actF = 0;
    double baroInHg = 29.9;
    double manifoldPsi = 0;  // gauge pressure: negative is vacuum
    double wideBandAfr = 14.7;
    double aux1Volts = 0;
    double aux2Volts = 0;
    double hegoLeftVolts = 0;   // 0..1 V sensor
    double hegoRightVolts = 0;  // 0..1 V sensor
    double advanceDeg = 0;      // spark advance, crank degrees
    double injectorDuty = 0;    // fraction of the engine cycle the injector is open, 0..1
};

}  // namespace quelm::sim
