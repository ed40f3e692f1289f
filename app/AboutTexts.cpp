#include "app/AboutTexts.h"

#include "app/Texts.h"

namespace app {

namespace {
constexpr const char* kCrLf = "\r\n";
}  // namespace

std::string aboutText() {
    const std::string b = kNineBlanks;
    return std::string("Vexmond is developed by ") + kAuthorEmail + b + kCrLf +
           "This program should work with any Quake 3 Arena\xAE powered server" + b + kCrLf + kCrLf +
           "Specify an IP, Port and Rcon Password for your server. Type the message you" + b + kCrLf +
           "wish to send and set the time interval for how often the messages will be sent." + b + kCrLf + kCrLf +
           "A Get Status command can be used to list all player IP's, this is handy if you " + b + kCrLf +
           "need to ban players using their IP." + b;
}

std::string aboutTitle() { return std::string(kAppTitle) + " v2.1 Build Date: 06-23-2002"; }

std::string informationText() {
    const std::string b = kNineBlanks;
    return std::string("You can use colours in your text messages;") + b + kCrLf + kCrLf +
           "^1 = red ^2 = green ^3 = yellow ^4 = blue ^5 = turquoise ^6 = purple ^7 = white" + b + kCrLf + kCrLf +
           "To send a text message in red and blue you would write it as: ^1This is in Red ^4This is Blue" + b + kCrLf +
           kCrLf + "You can include multiple messages each on their own line, press enter to add a new line." + b +
           kCrLf + "NOTE:" + kCrLf + "If you use a colon in a text message, for example, '" + kExampleAddress + "'" +
           b + kCrLf + "everything to the right of the colon will be lost. The output would be 'http:'" + b;
}

}  // namespace app
