#!/usr/bin/env python3
"""Runs the program with --tables and --html on a copy of a study and reads
every resource of the package back with the standard json and csv modules:
header against the schema, every value against its field type, and the
primary key unique and never empty. Every file, the page too, is read as
strict UTF-8, as pandas.read_csv does.

    check_package.py PROGRAM STUDY_DIR
"""
import csv
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

INTEGER = re.compile(r"^[+-]?[0-9]+$")
NUMBER = re.compile(r"^([+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?|NaN|INF|-INF)$")


def check_value(value, field_type):
    if value == "":
        return True  # a missing value
    if field_type == "integer":
        return bool(INTEGER.match(value))
    if field_type == "number":
        return bool(NUMBER.match(value))
    if field_type == "date":
        try:
            datetime.date.fromisoformat(value)
            return re.match(r"^[0-9]{4}-[0-9]{2}-[0-9]{2}$", value) is not None
        except ValueError:
            return False
    if field_type == "time":
        return re.match(r"^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$", value) is not None
    return field_type == "string"


def check_package(folder):
    errors = []
    with open(os.path.join(folder, "datapackage.json"), encoding="utf-8") as f:
        package = json.load(f)
    if package.get("profile") != "tabular-data-package":
        errors.append("profile is not tabular-data-package")
    names = set()
    for resource in package["resources"]:
        name = resource["name"]
        if not re.match(r"^[a-z0-9._-]+$", name) or name in names:
            errors.append(f"bad or repeated resource name {name!r}")
        names.add(name)
        schema = resource["schema"]
        fields = schema["fields"]
        types = [f["type"] for f in fields]
        for t in types:
            if t not in ("integer", "number", "string", "date", "time"):
                errors.append(f"{name}: unexpected type {t}")
        key = [[f["name"] for f in fields].index(k) for k in schema["primaryKey"]]
        seen = set()
        with open(os.path.join(folder, resource["path"]), encoding="utf-8", newline="") as f:
            rows = csv.reader(f)
            header = next(rows)
            if header != [f["name"] for f in fields]:
                errors.append(f"{name}: header {header} does not match the schema")
            count = 0
            for row in rows:
                count += 1
                if len(row) != len(fields):
                    errors.append(f"{name} row {count}: {len(row)} fields")
                    continue
                for value, t, field in zip(row, types, fields):
                    if not check_value(value, t):
                        errors.append(f"{name} row {count}: {field['name']}={value!r} is not {t}")
                k = tuple(row[i] for i in key)
                if k in seen:
                    errors.append(f"{name} row {count}: primary key {k} repeated")
                seen.add(k)
                # Only the year of an all-years row may be empty in a key.
                for i in key:
                    if row[i] == "" and not (name == "detection_rates" and fields[i]["name"] == "year"):
                        errors.append(f"{name} row {count}: empty key field {fields[i]['name']}")
        # No pair of species with enough events: no overlap rows.
        if count == 0 and name not in ("rejects", "distances", "overlap", "activity_density"):
            errors.append(f"{name}: no rows")
    return errors


def main():
    program, study = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as tmp:
        work = os.path.join(tmp, "study")
        shutil.copytree(study, work)
        tables = os.path.join(tmp, "tables")
        page = os.path.join(tmp, "page.html")
        subprocess.run([program, "--period", "60", "--quiet", "--tables", tables, "--html", page, work], check=True)
        try:
            errors = check_package(tables)
            with open(page, encoding="utf-8") as f:
                f.read()
        except UnicodeDecodeError as e:
            errors = [f"not UTF-8: {e}"]
    for e in errors[:50]:
        print(e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
