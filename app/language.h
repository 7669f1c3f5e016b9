#pragma once

class QTranslator;

// The language of the program's texts, English or Chinese: chosen with the
// window's two buttons and remembered for the next start, which also gives
// the language of a second copy's message and of --help.
class Language
{
public:
    enum Choice
    {
        English,
        Chinese
    };

    // The language chosen last; Chinese when none has been chosen yet.
    static Choice remembered();
    static void remember(Choice choice);

    // Loads the program's translation of choice ("Vantrel_en" or
    // "Vantrel_zh") into translator, from the current directory, else from
    // beside the program, else from the installed data directory. A failed
    // load leaves translator as it was.
    static bool load(QTranslator &translator, Choice choice);
    // Qt's own texts (dialog buttons) in choice's language; false for English,
    // which needs none.
    static bool loadQt(QTranslator &translator, Choice choice);
};
