// The country lists of the dial group: "Local Country:" (1081) and
// "Destination Country:" (1084), sorted by name, each item carrying its
// country code. Each device open fills both from the country source and
// selects the countries the library holds; each choice of the user goes to
// the library at once. UI thread only.
#pragma once

#include "panel/logic/CountryList.h"
#include "ui/DialogControls.h"

#include <QObject>

#include <cstdint>
#include <memory>

class QComboBox;

namespace tvx {

class DeviceSession;

class CountryPanel final : public QObject {
public:
    // Binds the selection changes of lists 1081 and 1084 and fills them at
    // each open of session, from source; null gives the default source, the
    // country calling codes of the phone-number library.
    CountryPanel(DialogControls controls, DeviceSession &session, std::shared_ptr<CountrySource> source = nullptr);

    // Each successful device open: both lists filled, then the library's
    // local and destination countries selected in them. Results unused.
    void OnDeviceOpened();

    // Empties list and fills it from the country source: 0, or -4 when the
    // source cannot be read (the list stays empty).
    int32_t FillCountryList(QComboBox *list);

    // Selects the first item of list whose code is the number at the start
    // of countryText: 0, or -2 when no item has that code (the selection
    // stays as it was). Sends nothing.
    int32_t SelectCountry(const char *countryText, QComboBox *list);

    // Selection changes of the lists: the chosen code, as decimal text, goes
    // to the library as the local or destination country.
    void OnLocalCountrySelected();
    void OnDestinationCountrySelected();

    QComboBox *LocalList() const { return local_; }
    QComboBox *DestinationList() const { return destination_; }

private:
    QComboBox *local_;
    QComboBox *destination_;
    std::shared_ptr<CountrySource> source_;
};

}  // namespace tvx
