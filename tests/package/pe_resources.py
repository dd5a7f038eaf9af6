"""Reads what the package tests need from a Windows program: its machine type and resources."""
import struct

IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_FILE_MACHINE_AMD64 = 0x8664
RT_VERSION = 16
RT_MANIFEST = 24
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD


def read_program(path):
    """Returns (machine, {resource type id: [bytes of each resource of that type]})."""
    data = open(path, "rb").read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[header:header + 4] != b"PE\0\0":
        raise ValueError(f"{path} is not a PE file")
    machine, section_count = struct.unpack_from("<HH", data, header + 4)
    optional_size = struct.unpack_from("<H", data, header + 20)[0]
    optional = header + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    sections = [struct.unpack_from("<IIII", data, optional + optional_size + 40 * i + 8)
                for i in range(section_count)]

    def file_offset(rva):
        for virtual_size, address, raw_size, raw_pointer in sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_pointer + rva - address
        raise ValueError(f"{path}: address {rva:#x} lies in no section")

    base = file_offset(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + numbered):
            yield struct.unpack_from("<II", data, directory + 16 + 8 * i)

    resources = {}
    for type_id, names in entries(base):
        for _, languages in entries(base + (names & 0x7FFFFFFF)):
            for _, leaf in entries(base + (languages & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                start = file_offset(rva)
                resources.setdefault(type_id, []).append(data[start:start + size])
    return machine, resources


def fixed_file_version(version_resource):
    """The four numbers of VS_FIXEDFILEINFO's file version."""
    at = version_resource.index(struct.pack("<I", VS_FIXEDFILEINFO_SIGNATURE))
    high, low = struct.unpack_from("<II", version_resource, at + 8)
    return (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)


def version_string(version_resource, key):
    """The value of one StringFileInfo entry, such as "ProductVersion"."""
    # Every key and value starts on a 32-bit boundary, so the whole block reads as UTF-16.
    text = version_resource.decode("utf-16-le", errors="replace")
    marker = key + "\0"
    at = text.index(marker) + len(marker)
    while text[at] == "\0":
        at += 1
    return text[at:text.index("\0", at)]
