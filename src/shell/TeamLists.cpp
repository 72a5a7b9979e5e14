#include "TeamLists.h"

#include "Teams.h"

#include <QComboBox>

namespace vexal {

void AddTeamEntry(QComboBox* list, int code, const QString& name) { list->addItem(name, code); }

int16_t ChosenTeam(const QComboBox* list, int year)
{
    const QString text = list->currentText();
    const int chosen = list->currentIndex();
    if (chosen >= 0 && list->itemText(chosen) == text)
        return static_cast<int16_t>(list->itemData(chosen).toInt());
    int named = 0, code = 0;
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i) == text) {
            ++named;
            code = list->itemData(i).toInt();
        }
    if (named == 1)
        return static_cast<int16_t>(code);
    if (named > 1 || text.isEmpty())
        return 0;
    int16_t season = static_cast<int16_t>(year);
    return TeamCode(text.toStdString(), season, NameStyleAsShown);
}

void ShowTeam(QComboBox* list, int code, const QString& name)
{
    list->setCurrentIndex(list->findData(code));
    if (list->isEditable())
        list->setEditText(name);
}

} // namespace vexal
