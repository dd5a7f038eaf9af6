// The ID3v1 genre numbers' names (the 80 of ID3v1, Winamp's additions up to 191), and TCON texts
// that refer to them.
#include "DetailText.h"
#include "MediaReaders.h"

#include <iterator>

namespace {

const wchar_t* const kGenres[] = {
    L"Blues", L"Classic Rock", L"Country", L"Dance", L"Disco", L"Funk", L"Grunge", L"Hip-Hop", L"Jazz",
    L"Metal", L"New Age", L"Oldies", L"Other", L"Pop", L"R&B", L"Rap", L"Reggae", L"Rock", L"Techno",
    L"Industrial", L"Alternative", L"Ska", L"Death Metal", L"Pranks", L"Soundtrack", L"Euro-Techno",
    L"Ambient", L"Trip-Hop", L"Vocal", L"Jazz+Funk", L"Fusion", L"Trance", L"Classical", L"Instrumental",
    L"Acid", L"House", L"Game", L"Sound Clip", L"Gospel", L"Noise", L"Alt. Rock", L"Bass", L"Soul", L"Punk",
    L"Space", L"Meditative", L"Instrumental Pop", L"Instrumental Rock", L"Ethnic", L"Gothic", L"Darkwave",
    L"Techno-Industrial", L"Electronic", L"Pop-Folk", L"Eurodance", L"Dream", L"Southern Rock", L"Comedy",
    L"Cult", L"Gangsta Rap", L"Top 40", L"Christian Rap", L"Pop/Funk", L"Jungle", L"Native American",
    L"Cabaret", L"New Wave", L"Psychedelic", L"Rave", L"Showtunes", L"Trailer", L"Lo-Fi", L"Tribal",
    L"Acid Punk", L"Acid Jazz", L"Polka", L"Retro", L"Musical", L"Rock & Roll", L"Hard Rock", L"Folk",
    L"Folk-Rock", L"National Folk", L"Swing", L"Fast-Fusion", L"Bebop", L"Latin", L"Revival", L"Celtic",
    L"Bluegrass", L"Avantgarde", L"Gothic Rock", L"Progressive Rock", L"Psychedelic Rock", L"Symphonic Rock",
    L"Slow Rock", L"Big Band", L"Chorus", L"Easy Listening", L"Acoustic", L"Humour", L"Speech", L"Chanson",
    L"Opera", L"Chamber Music", L"Sonata", L"Symphony", L"Booty Bass", L"Primus", L"Porn Groove", L"Satire",
    L"Slow Jam", L"Club", L"Tango", L"Samba", L"Folklore", L"Ballad", L"Power Ballad", L"Rhythmic Soul",
    L"Freestyle", L"Duet", L"Punk Rock", L"Drum Solo", L"A Cappella", L"Euro-House", L"Dance Hall", L"Goa",
    L"Drum & Bass", L"Club-House", L"Hardcore", L"Terror", L"Indie", L"BritPop", L"Afro-Punk", L"Polsk Punk",
    L"Beat", L"Christian Gangsta Rap", L"Heavy Metal", L"Black Metal", L"Crossover",
    L"Contemporary Christian", L"Christian Rock", L"Merengue", L"Salsa", L"Thrash Metal", L"Anime", L"JPop",
    L"Synthpop", L"Abstract", L"Art Rock", L"Baroque", L"Bhangra", L"Big Beat", L"Breakbeat", L"Chillout",
    L"Downtempo", L"Dub", L"EBM", L"Eclectic", L"Electro", L"Electroclash", L"Emo", L"Experimental",
    L"Garage", L"Global", L"IDM", L"Illbient", L"Industro-Goth", L"Jam Band", L"Krautrock", L"Leftfield",
    L"Lounge", L"Math Rock", L"New Romantic", L"Nu-Breakz", L"Post-Punk", L"Post-Rock", L"Psytrance",
    L"Shoegaze", L"Space Rock", L"Trop Rock", L"World Music", L"Neoclassical", L"Audiobook", L"Audio Theatre",
    L"Neue Deutsche Welle", L"Podcast", L"Indie Rock", L"G-Funk", L"Dubstep", L"Garage Rock", L"Psybient",
};

} // namespace

std::wstring Id3GenreName(std::uint32_t number)
{
    return number < std::size(kGenres) ? kGenres[number] : std::wstring();
}

// The genre a reference names: a number, or RX and CR.
static bool GenreOfReference(std::wstring_view reference, std::wstring& genre)
{
    if (reference == L"RX") {
        genre = L"Remix";
        return true;
    }
    if (reference == L"CR") {
        genre = L"Cover";
        return true;
    }
    if (reference.empty() || reference.size() > 3)
        return false;
    for (wchar_t unit : reference)
        if (unit < L'0' || unit > L'9')
            return false;
    genre = Id3GenreName(LeadingNumber(reference));
    return true;
}

std::wstring Id3GenreText(const std::wstring& text)
{
    std::wstring genre;
    if (GenreOfReference(text, genre))
        return genre;
    // "(13)" or "(13)Indie" (its first genre is the reference); "((" begins a text that starts
    // with a parenthesis.
    if (text.size() >= 2 && text[0] == L'(' && text[1] == L'(')
        return text.substr(1);
    if (!text.empty() && text[0] == L'(') {
        size_t close = text.find(L')');
        if (close != std::wstring::npos && GenreOfReference(std::wstring_view(text).substr(1, close - 1), genre))
            return genre;
    }
    return text;
}
