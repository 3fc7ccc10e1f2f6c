// Finding the files that documents name. Stored names come from Windows: "\" and "/" both
// separate folders, a drive ("C:") may lead, and the letter case of a name on disk may differ from
// the stored one. Documents often travel without the folders they were made in, so a name is also
// looked for beside the document and in the program folder.
#pragma once

#include <string>

namespace nimbra {

// The full path of the file a stored name means, or empty when none is found. base is the file
// name of the document that stores the name (empty without a document). Names beginning with "?"
// are no files and come back unchanged. Relative names are taken against the program folder; the
// process's current directory is neither used nor changed.
std::string ResolveFileName(const std::string& name, const std::string& base);

// The same for the pictures page templates name: names inside a package ("|") come back
// unchanged; otherwise the base and then the application's presets folders are tried.
std::string ResolveTemplateFileName(const std::string& name, const std::string& base);

}  // namespace nimbra
