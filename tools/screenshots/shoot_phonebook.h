#pragma once

class QString;

// Renders the "Телефоны" page with a few entries to "tarnel-phonebook.png" in
// outputFolder, and the two input boxes of the add command, as the user fills
// them in, to "tarnel-phonebook-name.png" and "tarnel-phonebook-number.png".
void shootPhoneBook(const QString &outputFolder);
