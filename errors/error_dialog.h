// The error dialog: a numbered Catalan title, an explanation, the message of
// the operation that failed and a reference line "message.code (class)".
#pragma once

#include "platform/exception.h"

#include <functional>
#include <string>

// One button ("D'acord"). The message is string messageId formatted with the
// arguments, printf-style, into 512 characters.
void showError(unsigned messageId, const CException& error, ...);

// Two buttons, strings 14 and 15; true only for the first ("Continuar.").
bool askError(unsigned messageId, const CException& error, ...);

// An unattended run: no error dialog is shown; the texts go to report (in
// one line) and askError answers as "Cancel·lar." would. An empty report
// brings the dialogs back.
void SetUnattendedErrorReport(std::function<void(const std::string&)> report);

// The texts the dialog shows for an error, for callers and tests.
struct CErrorTexts {
    std::string message;
    std::string title;
    std::string explanation;
    std::string reference;
};
CErrorTexts ErrorTexts(unsigned messageId, const CException& error, const char* message);

// Reports the error that is being handled (to be called inside a catch
// block): family errors as they are, others converted. Never throws.
void ShowCurrentError(unsigned messageId) noexcept;
