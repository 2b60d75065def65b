#include "import/package.hpp"

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>

#include "import/errors.hpp"
#include "import/names.hpp"

namespace mv::camtrap {

namespace {

using nlohmann::json;

std::string stringAt(const json& object, const char* key) {
  if (!object.is_object()) return {};
  const auto it = object.find(key);
  if (it == object.end() || !it->is_string()) return {};
  return it->get<std::string>();
}

// A resource path must stay inside the package folder.
std::filesystem::path partPath(const std::filesystem::path& dir, const json& value, const std::string& name) {
  if (!value.is_string()) throw ImportError("datapackage.json: resource " + name + " has a path that is not text");
  const std::string text = value.get<std::string>();
  if (text.find("://") != std::string::npos)
    throw ImportError("datapackage.json: resource " + name + " is a remote file (" + text +
                      "); download the package first");
  const std::filesystem::path rel(text);
  if (text.empty() || rel.is_absolute())
    throw ImportError("datapackage.json: resource " + name + " has an unusable path \"" + text + "\"");
  for (const auto& piece : rel)
    if (piece == "..")
      throw ImportError("datapackage.json: resource " + name + " points outside the package (" + text + ")");
  return dir / rel;
}

char dialectChar(const json& dialect, const char* key, char fallback, const std::string& name) {
  const std::string text = stringAt(dialect, key);
  if (text.empty()) return fallback;
  if (text.size() != 1)
    throw ImportError("datapackage.json: resource " + name + " has a " + key + " of more than one character");
  return text[0];
}

Resource resourceOf(const std::filesystem::path& dir, const json& resources, const std::string& name) {
  for (const json& r : resources) {
    if (stringAt(r, "name") != name) continue;
    Resource res;
    const auto path = r.find("path");
    if (path == r.end()) {
      if (r.contains("data"))
        throw ImportError("datapackage.json: resource " + name + " holds its data inline, which is not read");
      throw ImportError("datapackage.json: resource " + name + " has no path");
    }
    if (path->is_array()) {
      for (const json& p : *path) res.parts.push_back(partPath(dir, p, name));
      if (res.parts.empty()) throw ImportError("datapackage.json: resource " + name + " has an empty path list");
    } else {
      res.parts.push_back(partPath(dir, *path, name));
    }
    const auto dialect = r.find("dialect");
    if (dialect != r.end() && dialect->is_object()) {
      res.dialect.delimiter = dialectChar(*dialect, "delimiter", ',', name);
      res.dialect.quote = dialectChar(*dialect, "quoteChar", '"', name);
      const auto header = dialect->find("header");
      if (header != dialect->end() && header->is_boolean() && !header->get<bool>())
        throw ImportError("datapackage.json: resource " + name + " has no header line (dialect header false)");
    }
    return res;
  }
  throw ImportError("datapackage.json lists no resource named " + name);
}

}  // namespace

std::string versionFromProfile(const std::string& profile) {
  static const std::regex pattern("camtrap-dp/([0-9]+(\\.[0-9]+)*)/");
  std::smatch m;
  if (std::regex_search(profile, m, pattern)) return m[1].str();
  return {};
}

PackageInfo readPackage(const std::filesystem::path& dir) {
  const std::filesystem::path file = dir / "datapackage.json";
  std::ifstream in(file, std::ios::binary);
  if (!in) throw ImportError("cannot open " + file.string() + " (is " + dir.string() + " a Camtrap DP package?)");
  json doc;
  try {
    doc = json::parse(in);
  } catch (const json::exception& e) {
    throw ImportError(file.string() + " is not valid JSON: " + e.what());
  }
  if (!doc.is_object()) throw ImportError(file.string() + " does not hold a JSON object");

  PackageInfo info;
  info.version = versionFromProfile(stringAt(doc, "profile"));
  if (info.version.empty()) info.version = versionFromProfile(stringAt(doc, "$schema"));
  const bool known = info.version.empty() || info.version == "1" || info.version.rfind("1.", 0) == 0 ||
                     info.version == "0.1" || info.version.rfind("0.1.", 0) == 0;
  if (!known)
    throw ImportError("the package follows Camtrap DP " + info.version + "; only versions 0.1.x and 1.x are read");
  const auto project = doc.find("project");
  if (project != doc.end()) info.projectTitle = stringAt(*project, "title");
  info.packageTitle = stringAt(doc, "title");
  info.packageName = stringAt(doc, "name");

  const auto taxonomic = doc.find("taxonomic");
  if (taxonomic != doc.end() && taxonomic->is_array())
    for (const json& taxon : *taxonomic) {
      const std::string name = cleanText(stringAt(taxon, "scientificName"));
      if (!name.empty()) info.taxonRanks.emplace(name, stringAt(taxon, "taxonRank"));
    }

  const auto resources = doc.find("resources");
  if (resources == doc.end() || !resources->is_array()) throw ImportError("datapackage.json has no list of resources");
  info.deployments = resourceOf(dir, *resources, "deployments");
  info.media = resourceOf(dir, *resources, "media");
  info.observations = resourceOf(dir, *resources, "observations");
  return info;
}

}  // namespace mv::camtrap
