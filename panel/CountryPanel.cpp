#include "panel/CountryPanel.h"

#include "device/Adapter.h"
#include "device/DeviceSession.h"
#include "device/Latin1.h"
#include "panel/PhoneNumberCountries.h"
#include "res/MainDialogIds.h"

#include <QComboBox>
#include <QList>
#include <QStandardItem>
#include <QStandardItemModel>
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

// What a source's countries become in a list, or none when it cannot be
// read.
std::optional<std::vector<CountryItem>> ItemsOf(CountrySource &source)
{
    const std::optional<std::vector<CountryEntry>> countries = source.Countries();
    if (!countries)
        return std::nullopt;
    return CountryItemsOf(*countries);
}

// Empties list and puts items in it, none selected.
void Fill(QComboBox *list, const std::vector<CountryItem> &items)
{
    list->clear();
    auto *model = qobject_cast<QStandardItemModel *>(list->model());
    if (model && list->rootModelIndex() == QModelIndex()) {
        // Each item made with its text and its code, then all in one
        // insertion: item by item, or a code set on an item already in the
        // list, every item would be a model change of its own.
        QList<QStandardItem *> rows;
        rows.reserve(static_cast<qsizetype>(items.size()));
        for (const CountryItem &item : items) {
            auto *row = new QStandardItem(Latin1(item.text));
            row->setData(QVariant(static_cast<int>(item.code)), Qt::UserRole);
            rows.append(row);
        }
        model->invisibleRootItem()->appendRows(rows);
    } else {
        for (const CountryItem &item : items)
            list->addItem(Latin1(item.text), QVariant(static_cast<int>(item.code)));
    }
    // Adding items selects none: the combo box's own pick of the first goes.
    list->setCurrentIndex(-1);
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
    // Both lists from one reading of the source.
    const std::optional<std::vector<CountryItem>> items = ItemsOf(*source_);
    for (QComboBox *list : {local_, destination_}) {
        if (list && items)
            Fill(list, *items);
        else if (list)
            list->clear();
    }
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
    const std::optional<std::vector<CountryItem>> items = ItemsOf(*source_);
    if (!items) {
        list->clear();
        return kCountryListUnreadable;
    }
    Fill(list, *items);
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
