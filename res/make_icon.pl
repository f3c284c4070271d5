#!/usr/bin/perl
# Turns a text pixel map (see program_icon.txt) into a 32 x 32, 16-colour
# .ico file with one image: palette lines "palette <index> <RRGGBB>", then 32
# rows of 32 characters, "0".."F" a palette index and "." transparent.
# Usage: make_icon.pl <pixel map> <output .ico>
use strict;
use warnings;

my ($source, $target) = @ARGV;
die "usage: make_icon.pl <pixel map> <output .ico>\n" unless defined $target;

my @palette = (0) x 16;
my @rows;
open(my $in, '<', $source) or die "$source: $!\n";
while (my $line = <$in>) {
    $line =~ s/\r?\n$//;
    next if $line =~ /^#/ || $line eq '';
    if ($line =~ /^palette\s+([0-9A-Fa-f])\s+([0-9A-Fa-f]{6})$/) {
        $palette[hex $1] = hex $2;
        next;
    }
    die "$source: row " . (@rows + 1) . " is not 32 pixels\n"
        unless $line =~ /^[0-9A-Fa-f.]{32}$/;
    push @rows, $line;
}
close $in;
die "$source: " . scalar(@rows) . " rows, expected 32\n" unless @rows == 32;

# Bitmaps are stored bottom-up: the last text row comes first.
my ($colour, $mask) = ('', '');
for my $line (reverse @rows) {
    my @pixels = split //, $line;
    my $nibbles = join '', map { $_ eq '.' ? '0' : $_ } @pixels;
    $colour .= pack('H*', $nibbles);
    $mask .= pack('B*', join '', map { $_ eq '.' ? '1' : '0' } @pixels);
}

my $header = pack('VVVvvVVVVVV',
    40, 32, 64,          # size, width, height of colour and mask together
    1, 4,                # planes, bits per pixel
    0, length($colour) + length($mask), 0, 0, 16, 0);
my $colours = join '', map {
    pack('CCCC', $_ & 0xFF, ($_ >> 8) & 0xFF, ($_ >> 16) & 0xFF, 0)
} @palette;
my $image = $header . $colours . $colour . $mask;

my $directory = pack('vvv', 0, 1, 1)
    . pack('CCCCvvVV', 32, 32, 16, 0, 1, 4, length($image), 6 + 16);

open(my $out, '>:raw', $target) or die "$target: $!\n";
print $out $directory, $image;
close $out or die "$target: $!\n";
