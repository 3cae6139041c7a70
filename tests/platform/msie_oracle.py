#!/usr/bin/python3
"""Lists what an independent reader of index.dat (libmsiecf) sees in a file.

usage: msie_oracle.py FILE

Prints one line per allocated URL record, fields separated by tabs:
  U <offset> <location as hex> <file name as hex> <cache folder name or ->
    <primary FILETIME> <secondary FILETIME> <last-checked FILETIME>
then "S <items> <recovered items>".  A file with Wine's signature is read
through a copy carrying Internet Explorer's, which is all libmsiecf needs.
"""
import datetime
import os
import shutil
import sys
import tempfile

import pymsiecf

EPOCH_1601 = datetime.datetime(1601, 1, 1)


def fat_to_filetime(value):
    # The stored dword keeps the date in the low word and the time in the high one.
    if value == 0:
        return 0
    date, time = value & 0xFFFF, value >> 16
    try:
        moment = datetime.datetime(1980 + (date >> 9), (date >> 5) & 15, date & 31,
                                   time >> 11, (time >> 5) & 63, (time & 31) * 2)
    except ValueError:
        return 0
    delta = moment - EPOCH_1601
    return (delta.days * 86400 + delta.seconds) * 10000000


def encode(text):
    if not text:
        return '-'
    try:
        return text.encode('cp1252').hex()
    except UnicodeEncodeError:
        return text.encode('latin-1', 'replace').hex()


def main():
    path = sys.argv[1]
    with open(path, 'rb') as f:
        head = f.read(28)
    work = None
    if head.startswith(b'WINE URLCache Ver '):
        work = tempfile.mkdtemp()
        copy = os.path.join(work, 'index.dat')
        shutil.copyfile(path, copy)
        with open(copy, 'r+b') as f:
            f.write(b'Client UrlCache MMF Ver 5.2\0')
        path = copy
    try:
        cache = pymsiecf.file()
        cache.open(path)
        folders = [cache.get_cache_directory(i) for i in range(cache.number_of_cache_directories)]
        for item in cache.items:
            if not isinstance(item, pymsiecf.url):
                continue
            index = item.cache_directory_index
            folder = folders[index] if 0 <= index < len(folders) else b''
            if isinstance(folder, bytes):
                folder = folder.decode('latin-1')
            print('U', item.offset, encode(item.location), encode(item.filename), folder or '-',
                  item.get_primary_time_as_integer(), item.get_secondary_time_as_integer(),
                  fat_to_filetime(item.get_last_checked_time_as_integer()), sep='\t')
        print('S', cache.number_of_items, cache.number_of_recovered_items, sep='\t')
        cache.close()
    finally:
        if work:
            shutil.rmtree(work)


if __name__ == '__main__':
    main()
