#pragma once
// What port discovery shows in the communication settings window. The dialog
// implements it; tests record the calls. None of these calls may call back
// into port discovery (the dialog reacts to the user's actions only).

#include <QString>
#include <QStringList>

class CommSettingsView {
public:
    virtual ~CommSettingsView() = default;

    // Selects a line of the baud-rate list; an index outside the list selects none.
    virtual void selectBaudIndex(int index) = 0;
    // Replaces the port list; selected is the checked item, -1 for none.
    virtual void setPortItems(const QStringList& items, int selected) = 0;
    virtual void setAddressText(const QString& text) = 0;
    // Red text for an address that is not accepted, the normal colour otherwise.
    virtual void setAddressInvalid(bool invalid) = 0;
};
