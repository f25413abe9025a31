#pragma once

#include <string>

#include "engine/ex_record.h"

// The speeds a horse actually ran in a past run, in km/h, from the fields of its expanded record:
// Agari over the last section (600 m on the flat, 200 m over hurdles), Pace from the start to that
// section, Soha over the whole race. Computed in single precision, stored as seven-digit texts.
namespace engine {

/// The stored form of a speed: Int(v x 100000) with leading zeros to seven digits, two integer
/// and five decimal digits, no point (62.608696 gives "6260869"). A speed that the form cannot
/// hold (negative, 100 km/h or more, not a number) is stored as "0000000".
std::string SpeedText(float kmh);

/// The run's distance in metres. Throws std::runtime_error when Kyori is not a number.
float KyoriOf(const ExRecord& record);

/// Agari: 21600 / L on the flat (track "01" to "29"), 7200 / L over hurdles ("51" to "59"), L being
/// the horse's own last-section time in tenths; 0 on other tracks or for L = 0. Seven blanks when
/// the last-section time is blank.
std::string AgariSpeed(const ExRecord& record);

/// Pace: (Kyori - 600) / (T - L) x 36 on the flat, (Kyori - 200) / (T - L) x 36 over hurdles, T being
/// the whole-race time in tenths. 0 on other tracks, for L = 0, for a blank or zero time, and
/// when T is not greater than L. Seven blanks when the last-section time is blank.
std::string PaceSpeed(const ExRecord& record);

/// Soha: Kyori / T x 36 on any track; 0 for a blank or zero time, and when T is not greater than
/// a given last-section time.
std::string SohaSpeed(const ExRecord& record);

}  // namespace engine
