#pragma once

class NotesDocument;
class PhoneBook;
class ProgramList;

// The models whose work can be lost: what the closing question and the
// recovery copy ask about.
struct PageModels
{
    ProgramList &programs;
    NotesDocument &document;
    PhoneBook &phoneBook;

    // The one rule for "is anything unsaved".
    bool anythingUnsaved() const;
};
