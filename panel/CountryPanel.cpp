#include "panel/CountryPanel.h"

#include "device/Adapter.h"
#include "device/DeviceSession.h"
#include "device/Latin1.h"
#include "panel/PhoneNumberCountries.h"
#include "res/MainDialogIds.h"

#include <QComboBox>
#include <QStringList>
#include <QVariant>

#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

namespace tvx {

namespace {

// The item's code as the decimal text the library takes; false if there is
// no selection.
bool SelectedCodeText(const QComboBox *list, char (&text)[kCountrySendTextSize])
{
    if (!list)
        return false;
    const int index = list->currentIndex();
    if (index < 0)
        return false;
    std::snprintf(text, sizeof text, "%d", static_cast<int>(list->itemData(index).toInt()));
    return true;
}

}  // namespace

CountryPanel::CountryPanel(DialogControls controls, DeviceSession &session, std::shared_ptr<CountrySource> source)
    : local_(controls.Control<QComboBox>(kIdLocalCountry)),
      destination_(controls.Control<QComboBox>(kIdDestinationCountry)),
      source_(source ? std::move(source) : std::make_shared<PhoneNumberCountries>())
{
    controls.Bind(kIdLocalCountry, kSelectionChange, [this] { OnLocalCountrySelected(); });
    controls.Bind(kIdDestinationCountry, kSelectionChange, [this] { OnDestinationCountrySelected(); });
    connect(&session, &DeviceSession::Opened, this, &CountryPanel::OnDeviceOpened);
}

void CountryPanel::OnDeviceOpened()
{
    FillCountryList(local_);
    FillCountryList(destination_);
    // The library writes the code as text into a 256-byte buffer.
    char text[TVX_TEXT_SIZE] = "";
    adapter::GetLocalCountry(text);
    text[TVX_TEXT_SIZE - 1] = '\0';
    SelectCountry(text, local_);
    adapter::GetDestinationCountry(text);
    text[TVX_TEXT_SIZE - 1] = '\0';
    SelectCountry(text, destination_);
}

int32_t CountryPanel::FillCountryList(QComboBox *list)
{
    if (!list)
        return 0;
    list->clear();
    const std::optional<std::vector<CountryEntry>> countries = source_->Countries();
    if (!countries)
        return kCountryListUnreadable;
    // All names in one insertion, then each item's code: item by item, every
    // insertion would be a model change of its own.
    const std::vector<CountryItem> items = CountryItemsOf(*countries);
    QStringList names;
    names.reserve(static_cast<qsizetype>(items.size()));
    for (const CountryItem &item : items)
        names.append(Latin1(item.text));
    list->addItems(names);
    for (size_t i = 0; i < items.size(); ++i)
        list->setItemData(static_cast<int>(i), QVariant(static_cast<int>(items[i].code)));
    // Adding items selects none: the combo box's own pick of the first goes.
    list->setCurrentIndex(-1);
    return 0;
}

int32_t CountryPanel::SelectCountry(const char *countryText, QComboBox *list)
{
    if (!list)
        return kCountryNotFound;
    const int32_t code = countryText ? CountryCodeOf(std::string_view(countryText)) : 0;
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemData(i).toInt() == code) {
            list->setCurrentIndex(i);
            return 0;
        }
    }
    return kCountryNotFound;
}

void CountryPanel::OnLocalCountrySelected()
{
    char text[kCountrySendTextSize];
    if (SelectedCodeText(local_, text))
        adapter::SetLocalCountry(text);
}

void CountryPanel::OnDestinationCountrySelected()
{
    char text[kCountrySendTextSize];
    if (SelectedCodeText(destination_, text))
        adapter::SetDestinationCountry(text);
}

}  // namespace tvx
