#pragma once

#include <QString>

// What the service client tells the user, word for word. Two-line boxes
// have CR LF between their lines.
namespace zendry::texts {

inline const QString error = QStringLiteral("Error");
inline const QString enterZdid = QStringLiteral("Please enter your ZDID.");
inline const QString enterPassword = QStringLiteral("Please enter your password.");
inline const QString enterNumber = QStringLiteral("Please enter the number you wish to send the text to.");
inline const QString countryCode = QStringLiteral("Please enter the correct country code.");
inline const QString oneRecipient =
        QStringLiteral("Sending to multiple recipients is not supported by this version of Zendry SMS.");
inline const QString enterMessage = QStringLiteral("Please enter a message to send.");
inline QString tooLong(qint64 over)
{
    return QStringLiteral("Your message is %1 characters too long.  Please\r\n"
                          "shorten the message or the signature and try again.")
            .arg(over);
}

inline const QString unknownZdid = QStringLiteral("Unknown or invalid ZDID.");
inline const QString wrongPassword = QStringLiteral("Incorrect password.");
inline const QString buyCreditsTitle = QStringLiteral("Buy Credits?");
inline const QString buyCredits = QStringLiteral("You do not have enough credits to send a text.\r\n"
                                                 "Would you like to purchase some credits now?");
inline const QString recipientUnknown = QStringLiteral("Unknown or invalid recipient ZDID.");
inline const QString recipientNoMobile =
        QStringLiteral("Recipient ZDID does not have a mobile phone number configured.");
inline const QString recipientProblem = QStringLiteral("Problem with recipient.");
inline const QString sentTitle = QStringLiteral("Message Sent");
inline const QString sent = QStringLiteral("Your message has been sent to the Zendry\r\n"
                                           "SMS server and will be delivered shortly.");
inline const QString connectionProblem = QStringLiteral("Connection problem.\r\nPlease try again later.");
inline const QString unavailable =
        QStringLiteral("The server is temporarily unavailable.\r\nPlease try again later.");

} // namespace zendry::texts
