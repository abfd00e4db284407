// Ids of the main dialog's controls (template 102). Each control carries its
// id as its object name.
#pragma once

namespace tvx {

inline constexpr int kIdEventLog = 1000;
inline constexpr int kIdSerialNumber = 1001;
inline constexpr int kIdTrackbar = 1043;
inline constexpr int kIdDialString = 1047;
inline constexpr int kIdDialButton = 1067;
inline constexpr int kIdSpectrum = 1074;
inline constexpr int kIdAnalysisBox = 1077;
inline constexpr int kIdParameterList = 1079;
inline constexpr int kIdValueText = 1080;
inline constexpr int kIdLocalCountry = 1081;
inline constexpr int kIdFrequencyText = 1082;
inline constexpr int kIdBurnDevice = 1083;
inline constexpr int kIdDestinationCountry = 1084;
inline constexpr int kIdDialToDestination = 1097;
inline constexpr int kIdCheck2 = 1099;

}  // namespace tvx
